#include <QCoreApplication>
#include <gtest/gtest.h>

// Tests that use signals, timers or threads need an application object; one per process.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
