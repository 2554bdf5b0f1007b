// Packing of the finished book tree into the .epub archive.
#pragma once

#include <string>

namespace quirebook {

// Writes the book tree under `rootFolder` into the archive `archivePath`: first "mimetype",
// stored uncompressed and with no extra field, then every file under "META-INF" and "OPS"
// (subfolders included, sorted by name within each folder), deflated at level 5 under its path
// relative to `rootFolder`. A symbolic link is packed only when it leads to a regular file inside
// `rootFolder`. The archive is written to a temporary file in its own folder and renamed over
// `archivePath` only once complete, so a failure leaves an older book there untouched. Raises
// InOutError, naming the archive and the reason.
void PackEpub(const std::string& rootFolder, const std::string& archivePath);

}  // namespace quirebook
