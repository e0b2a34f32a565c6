// The About page's "Save support bundle...": the bundle goes where the user said, and the window is told.
#include "ui/aboutwidget.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(AboutPage, SavesTheSupportBundleWhereTheUserSaysAndNothingOnCancel)
{
    QTemporaryDir folder(QDir::tempPath() + "/about-page-XXXXXX"); // the application name holds a slash
    ASSERT_TRUE(folder.isValid());
    AboutWidget page;
    QString answer;
    QString suggested;
    page.setSaveFileName([&](QWidget*, const QString& offered) {
        suggested = offered;
        return answer;
    });
    QSignalSpy notified(&page, &AboutWidget::notify);
    auto* button = page.findChild<QPushButton*>("supportBundleButton");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "Save support bundle...");

    button->click(); // Cancel
    EXPECT_TRUE(suggested.endsWith(".zip")) << suggested.toStdString();
    EXPECT_EQ(notified.count(), 0);

    answer = folder.filePath("bundle.zip");
    button->click();
    ASSERT_EQ(notified.count(), 1);
    EXPECT_EQ(notified.first().at(0).value<NotificationMessageType>(), NotificationMessageType::Success);
    EXPECT_TRUE(notified.first().at(1).toString().contains("bundle.zip"));
    QFile zip(answer);
    ASSERT_TRUE(zip.open(QIODevice::ReadOnly));
    EXPECT_EQ(zip.read(4), QByteArray("PK\x03\x04", 4));
}
