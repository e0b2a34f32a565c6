#include "uitestenvironment.h"

#include "core/applicationidentity.h"
#include "resources/artwork.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {
// Set up before the first test, so before the settings store is first used.
class UiTestEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        initArtwork();
        dataHome = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", dataHome->path().toLocal8Bit());
        // Qt's own dialogs keep their state in the configuration folder.
        qputenv("XDG_CONFIG_HOME", dataHome->filePath(QStringLiteral("config")).toLocal8Bit());
        ApplicationIdentity::apply();
    }

    // gtest never destroys its environments, and listing the tests (as the build does) never sets them
    // up: the folder lives from SetUp to TearDown, so neither leaves one behind in the temporary folder.
    void TearDown() override { dataHome.reset(); }

private:
    std::unique_ptr<QTemporaryDir> dataHome;
};

[[maybe_unused]] const auto* const environment = ::testing::AddGlobalTestEnvironment(new UiTestEnvironment);
} // namespace

// Qt's offscreen platform plugin leaves its screen objects behind at exit (also when the binary only
// lists its tests, which runs without the tests' environment). Only those allocations are excused;
// a widget or device object leaked by the tool is still a direct leak from our own code and reported.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libqoffscreen.so\n"
           "leak:QScreen::QScreen\n"
           "leak:QPlatformScreen::QPlatformScreen\n"
           "leak:QWindowSystemInterface::handleScreenAdded\n"
           "leak:QtSharedPointer::ExternalRefCountData::getAndRef\n"
           "leak:QObject::QObject\n";
}
