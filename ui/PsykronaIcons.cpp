#include "ui/PsykronaIcons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <cstddef>
#include <initializer_list>

namespace psykrona {

namespace {

// One palette for the whole set: a dark outline, flat fills.
const QColor Outline(48, 48, 56);
const QColor Paper(255, 255, 255);
const QColor PaperShade(214, 218, 226);
const QColor FolderBack(206, 150, 38);
const QColor FolderFront(246, 206, 96);
const QColor Blue(47, 111, 181);
const QColor LightBlue(150, 190, 230);
const QColor Grey(170, 174, 182);
const QColor Green(46, 150, 60);
const QColor Red(200, 40, 40);
const QColor Pencil(240, 176, 48);

QPolygonF Poly(std::initializer_list<QPointF> Points) {
    return QPolygonF(QList<QPointF>(Points));
}

void Shape(QPainter& P, const QPolygonF& Polygon, const QColor& Fill) {
    P.setBrush(Fill);
    P.drawPolygon(Polygon);
}

void Box(QPainter& P, const QRectF& R, const QColor& Fill) {
    P.setBrush(Fill);
    P.drawRect(R);
}

// The point marker shared by the four point commands.
void PointMarker(QPainter& P, QPointF Centre, double Radius, const QColor& Fill) {
    P.setBrush(Fill);
    P.drawEllipse(Centre, Radius, Radius);
}

void Plus(QPainter& P, QPointF C, const QColor& Colour) {
    P.setBrush(Colour);
    P.drawPolygon(Poly({{C.x() - 1.5, C.y() - 4.5},
                        {C.x() + 1.5, C.y() - 4.5},
                        {C.x() + 1.5, C.y() - 1.5},
                        {C.x() + 4.5, C.y() - 1.5},
                        {C.x() + 4.5, C.y() + 1.5},
                        {C.x() + 1.5, C.y() + 1.5},
                        {C.x() + 1.5, C.y() + 4.5},
                        {C.x() - 1.5, C.y() + 4.5},
                        {C.x() - 1.5, C.y() + 1.5},
                        {C.x() - 4.5, C.y() + 1.5},
                        {C.x() - 4.5, C.y() - 1.5},
                        {C.x() - 1.5, C.y() - 1.5}}));
}

void DrawNew(QPainter& P) {
    Shape(P, Poly({{3.5, 1.5}, {9.5, 1.5}, {12.5, 4.5}, {12.5, 14.5}, {3.5, 14.5}}), Paper);
    Shape(P, Poly({{9.5, 1.5}, {9.5, 4.5}, {12.5, 4.5}}), PaperShade);
    P.setPen(QPen(Grey, 1));
    for (double Y : {7.5, 9.5, 11.5}) {
        P.drawLine(QPointF(5.5, Y), QPointF(10.5, Y));
    }
}

void DrawOpen(QPainter& P) {
    Shape(P, Poly({{1.5, 3.5}, {6.5, 3.5}, {7.5, 4.5}, {13.5, 4.5}, {13.5, 13.5}, {1.5, 13.5}}), FolderBack);
    Shape(P, Poly({{1.5, 13.5}, {3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}}), FolderFront);
}

void DrawSave(QPainter& P) {
    Shape(P, Poly({{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}}), Blue);
    Box(P, QRectF(4.5, 1.5, 7, 5), Paper);
    Box(P, QRectF(4.5, 9.5, 7, 5), Grey);
    P.setBrush(Outline);
    P.drawRect(QRectF(8.5, 10.5, 1, 3));
}

void DrawPrint(QPainter& P) {
    Box(P, QRectF(4.5, 1.5, 7, 5), Paper);
    Box(P, QRectF(1.5, 5.5, 13, 6), Grey);
    Box(P, QRectF(4.5, 9.5, 7, 5), Paper);
    P.setPen(QPen(Grey, 1));
    P.drawLine(QPointF(6, 11.5), QPointF(10, 11.5));
    P.drawLine(QPointF(6, 13), QPointF(9, 13));
    P.setPen(Qt::NoPen);
    P.setBrush(Green);
    P.drawRect(QRectF(11.5, 7, 1.5, 1.5));
}

void DrawAddPoint(QPainter& P) {
    PointMarker(P, {6, 10}, 4, Blue);
    Plus(P, {11, 5}, Green);
}

void DrawDeletePoint(QPainter& P) {
    PointMarker(P, {6, 10}, 4, Blue);
    P.save();
    P.translate(11, 5);
    P.rotate(45);
    Plus(P, {0, 0}, Red);
    P.restore();
}

void DrawEditPoint(QPainter& P) {
    PointMarker(P, {5, 11}, 3.5, Blue);
    P.save();
    P.translate(11, 6);
    P.rotate(45);
    Box(P, QRectF(-1.5, -5.5, 3, 8), Pencil);
    Shape(P, Poly({{-1.5, 2.5}, {1.5, 2.5}, {0, 5.5}}), Paper);
    P.restore();
}

void DrawInsertPoint(QPainter& P) {
    PointMarker(P, {5, 2.5}, 1.5, Grey);
    PointMarker(P, {5, 13.5}, 1.5, Grey);
    PointMarker(P, {5, 8}, 3.5, Blue);
    Shape(P, Poly({{9, 8}, {12.5, 4.5}, {12.5, 6.5}, {15.5, 6.5}, {15.5, 9.5}, {12.5, 9.5}, {12.5, 11.5}}),
          Green);
}

// A little Mollier chart: frame, saturation and relative-humidity curves, a
// process between two points.
void DrawChart(QPainter& P) {
    Box(P, QRectF(1.5, 1.5, 13, 13), Paper);
    P.setBrush(Qt::NoBrush);
    P.setPen(QPen(Red, 1));
    // Steep near dry air at the bottom, leaning over as it gets warmer.
    for (double Reach : {5.0, 8.5, 12.0}) {
        QPainterPath Curve;
        Curve.moveTo(2, 14);
        Curve.quadTo(QPointF(2.5, 4), QPointF(2 + Reach, 2));
        P.drawPath(Curve);
    }
    P.setPen(QPen(Blue, 1.5));
    P.drawLine(QPointF(4.5, 10.5), QPointF(11, 6));
    P.setPen(QPen(Outline, 1));
    PointMarker(P, {4.5, 10.5}, 1.6, LightBlue);
    PointMarker(P, {11, 6}, 1.6, LightBlue);
}

void DrawHelp(QPainter& P) {
    PointMarker(P, {8, 8}, 6.5, Blue);
    QFont F;
    F.setPixelSize(11);
    F.setBold(true);
    P.setFont(F);
    P.setPen(Paper);
    P.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, QStringLiteral("?"));
}

} // namespace

QPixmap DrawPsykronaImage(int Index, int Size, qreal Ratio) {
    QPixmap Image(QSize(Size, Size) * Ratio);
    Image.setDevicePixelRatio(Ratio);
    Image.fill(Qt::transparent);
    QPainter P(&Image);
    P.setRenderHint(QPainter::Antialiasing, true);
    P.scale(Size / 16.0, Size / 16.0);
    P.setPen(QPen(Outline, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    switch (Index) {
    case imgNew:
        DrawNew(P);
        break;
    case imgOpen:
        DrawOpen(P);
        break;
    case imgSave:
        DrawSave(P);
        break;
    case imgPrint:
        DrawPrint(P);
        break;
    case imgAddPoint:
        DrawAddPoint(P);
        break;
    case imgDeletePoint:
        DrawDeletePoint(P);
        break;
    case imgEditPoint:
        DrawEditPoint(P);
        break;
    case imgInsertPoint:
        DrawInsertPoint(P);
        break;
    case imgChart:
        DrawChart(P);
        break;
    case imgHelp:
        DrawHelp(P);
        break;
    default:
        break;
    }
    return Image;
}

QIcon DrawnPsykronaIcon(int Index) {
    QIcon Icon;
    for (int Size : DrawnIconSizes) {
        Icon.addPixmap(DrawPsykronaImage(Index, Size));
        // For screens of twice the density, drawn there, not enlarged.
        Icon.addPixmap(DrawPsykronaImage(Index, Size, 2));
    }
    return Icon;
}

namespace {

// Draws an image only when it is first shown, and then only in the size
// asked for: the start would otherwise draw every size of every menu and
// tool bar image, most of which are never seen. A request for one of the
// drawn sizes gets what the icon with all sizes gives, since that icon
// would pick the very same pixmap; any other request goes to that icon.
class TDrawnIconEngine final : public QIconEngine {
public:
    explicit TDrawnIconEngine(int Index) : FIndex(Index) {}

    QPixmap pixmap(const QSize& Size, QIcon::Mode Mode, QIcon::State State) override {
        return Source(Size).pixmap(Size, Mode, State);
    }

    // A request for a screen of higher density goes to the icon with every
    // size, which holds the images drawn at that density.
    void virtual_hook(int Id, void* Data) override {
        if (Id == QIconEngine::ScaledPixmapHook) {
            auto& Arg = *static_cast<QIconEngine::ScaledPixmapArgument*>(Data);
            if (Arg.scale != 1) {
                Arg.pixmap = All().pixmap((QSizeF(Arg.size) / Arg.scale).toSize(), Arg.scale, Arg.mode, Arg.state);
                return;
            }
        }
        QIconEngine::virtual_hook(Id, Data);
    }

    QSize actualSize(const QSize& Size, QIcon::Mode Mode, QIcon::State State) override {
        return Source(Size).actualSize(Size, Mode, State);
    }

    void paint(QPainter* Painter, const QRect& Rect, QIcon::Mode Mode, QIcon::State State) override {
        // The rectangle comes aligned to the icon's actual size already, so
        // the icon's own alignment leaves it as it is. On a scaled device the
        // pixmap engine may take any size, so there it gets every size.
        const QPaintDevice* Device = Painter->device();
        const bool Unscaled = Device != nullptr && Device->devicePixelRatio() == 1;
        (Unscaled ? Source(Rect.size()) : All()).paint(Painter, Rect, Qt::AlignCenter, Mode, State);
    }

    QList<QSize> availableSizes(QIcon::Mode Mode, QIcon::State State) override {
        return All().availableSizes(Mode, State);
    }

    QString key() const override { return QStringLiteral("PsykronaDrawnIcon"); }

    QIconEngine* clone() const override { return new TDrawnIconEngine(FIndex); }

private:
    QIcon& Source(const QSize& Size) {
        for (std::size_t I = 0; I < DrawnIconSizes.size(); ++I) {
            if (Size == QSize(DrawnIconSizes[I], DrawnIconSizes[I])) {
                if (FOne[I].isNull()) {
                    FOne[I].addPixmap(DrawPsykronaImage(FIndex, DrawnIconSizes[I]));
                }
                return FOne[I];
            }
        }
        return All();
    }

    QIcon& All() {
        if (FAll.isNull()) {
            FAll = DrawnPsykronaIcon(FIndex);
        }
        return FAll;
    }

    int FIndex;
    std::array<QIcon, DrawnIconSizes.size()> FOne;
    QIcon FAll;
};

} // namespace

QIcon PsykronaIcon(int Index) {
    return QIcon(new TDrawnIconEngine(Index));
}

} // namespace psykrona
