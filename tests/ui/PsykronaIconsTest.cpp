// The command images are drawn when first shown, one size at a time; what
// menus, tool bars and title bars get must be what the icon holding every
// size gives.
#include "ui/PsykronaIcons.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace psykrona::test {
namespace {

QImage Painted(const QIcon& Icon, int Size, qreal Ratio, QIcon::Mode Mode) {
    QImage Image(QSize(Size + 6, Size + 2) * Ratio, QImage::Format_ARGB32_Premultiplied);
    Image.setDevicePixelRatio(Ratio);
    Image.fill(Qt::transparent);
    QPainter Painter(&Image);
    Icon.paint(&Painter, QRect(1, 1, Size + 4, Size), Qt::AlignCenter, Mode);
    return Image;
}

TEST(PsykronaIcons, DrawnOnDemandGivesTheFullIconsPixels) {
    const QIcon::Mode Modes[] = {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected};
    for (int Index = 0; Index < PsykronaImageCount; ++Index) {
        const QIcon Full = DrawnPsykronaIcon(Index);
        for (int Size : {12, 16, 20, 24, 32, 40, 48, 64}) {
            for (QIcon::Mode Mode : Modes) {
                for (qreal Ratio : {1.0, 2.0}) {
                    // A new icon each time, so no earlier request has drawn it.
                    const QIcon Lazy = PsykronaIcon(Index);
                    SCOPED_TRACE(testing::Message() << "image " << Index << ", size " << Size << ", mode "
                                                    << Mode << ", ratio " << Ratio);
                    EXPECT_EQ(Lazy.actualSize(QSize(Size, Size), Mode), Full.actualSize(QSize(Size, Size), Mode));
                    EXPECT_EQ(Lazy.pixmap(QSize(Size, Size), Ratio, Mode).toImage(),
                              Full.pixmap(QSize(Size, Size), Ratio, Mode).toImage());
                    EXPECT_EQ(Painted(PsykronaIcon(Index), Size, Ratio, Mode), Painted(Full, Size, Ratio, Mode));
                }
            }
        }
        EXPECT_EQ(PsykronaIcon(Index).availableSizes(), Full.availableSizes());
    }
}

} // namespace
} // namespace psykrona::test
