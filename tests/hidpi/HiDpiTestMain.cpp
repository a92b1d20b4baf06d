#include <gtest/gtest.h>

#include <QApplication>

// These tests run the windows at a device pixel ratio of 2, as on a
// high-density screen; the scale factor must be set before the application.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
