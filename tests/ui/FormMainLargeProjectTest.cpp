// A project of more blocks than the tallest widget the platform lays out (16 777 215 pixels)
// opens without a single platform warning, and the points panel scrolls down to its last block.
#include "tests/ui/UiFixture.h"
#include "ui/PointBlocks.h"

#include <QAbstractScrollArea>
#include <QFontMetrics>
#include <QScrollBar>

#include <mutex>

namespace psykrona::test {
namespace {

std::mutex GMessagesLock; // the platform may warn from any thread
Strings GMessages;

using LargeProjectWindowTest = TMainWindowTest;

TEST_F(LargeProjectWindowTest, OpensWithoutWarningsAndScrollsToTheLastBlock) {
    constexpr int Count = 120000;
    Work.Write("large.pkx", RandomProjectXml(Count, 15));
    const QtMessageHandler Previous = qInstallMessageHandler([](QtMsgType Type, const QMessageLogContext&, const QString& Text) {
        if (Type != QtDebugMsg && Type != QtInfoMsg) {
            const std::lock_guard<std::mutex> Lock(GMessagesLock);
            GMessages.push_back(Text.toStdString());
        }
    });
    Form->OpenProjectFile(Work.File("large.pkx"));
    QCoreApplication::processEvents();
    QAbstractScrollArea& Panel = *Form->sbPoints;
    QScrollBar& Bar = *Panel.verticalScrollBar();
    Bar.setValue(Bar.maximum());
    QCoreApplication::processEvents();
    Form->grab();
    qInstallMessageHandler(Previous);
    EXPECT_TRUE(GMessages.empty()) << GMessages.size() << " messages, the first: " << GMessages.front();

    ASSERT_EQ(std::tuple(Form->Document->PointCount(), Form->ListBox1->count(), Form->PointBlocks->BlockCount()),
              std::tuple(Count, Count, Count));
    EXPECT_EQ(Form->PointBlocks->Block(Count).Header.toStdString(),
              std::to_string(Count) + ". Room " + std::to_string(Count));
    // Scrolled to the end, the last block's last row is in view.
    const qint64 LastRowBottom =
        TPointBlocks::BlockTop(Count) + TPointBlocks::RowTops.back() + QFontMetrics(Panel.font()).height();
    EXPECT_GE(static_cast<qint64>(Bar.value()) + Panel.viewport()->height(), LastRowBottom);
}

} // namespace
} // namespace psykrona::test
