// What the browser engine of the preview needs before the application object is made.
#pragma once

namespace quirebook {

// Shares OpenGL contexts as the web views require, and turns off the engine's own sandbox when
// the program runs as root, where the sandbox cannot start.
void PrepareWebEngine();

}  // namespace quirebook
