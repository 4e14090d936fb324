#include "support/qt_support.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace tessaro::test {

QApplication& qt_app() {
    return *static_cast<QApplication*>(QCoreApplication::instance());
}

}  // namespace tessaro::test

// The window tests own their QApplication for the whole run, so that it ends
// before the libraries it uses do.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
