// Test support for the window's tests: the main of a QTest program with the browser engine
// prepared, and the last thing the window said.
#pragma once

#include <QApplication>
#include <QString>
#include <QTest>
#include <string>
#include <vector>

#include "gui/WebEngineSetup.h"

namespace quirebook::testing {

// The last of the messages (questions, focus moves) recorded; empty when there is none.
inline QString Said(const std::vector<std::string>& said) {
    return said.empty() ? QString() : QString::fromStdString(said.back());
}

}  // namespace quirebook::testing

#define QUIREBOOK_GUI_TEST(TestClass)           \
    int main(int argc, char** argv) {           \
        quirebook::PrepareWebEngine();          \
        QApplication application(argc, argv);   \
        TestClass test;                         \
        return QTest::qExec(&test, argc, argv); \
    }
