#include "app/artwork.h"

#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "app/apptexts.h"
#include "app/clipfiles.h"

namespace kv::app {

namespace {

const QColor kDeepBlue(31, 78, 140);
const QColor kLightBlue(219, 233, 247);
const QColor kOrange(232, 120, 32);

void DrawLens(QPainter& p, QPointF centre, qreal radius, const QColor& ring) {
    p.setPen(QPen(ring, radius / 3.5, Qt::SolidLine, Qt::RoundCap));
    const QPointF from = centre + QPointF(radius * 0.72, radius * 0.72);
    p.drawLine(from, from + QPointF(radius * 0.8, radius * 0.8));
    p.setPen(QPen(ring, radius / 4.5));
    p.setBrush(kLightBlue);
    p.drawEllipse(centre, radius, radius);
}

}  // namespace

QBrush BannerBrush(int height) {
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(44, 98, 166));
    sky.setColorAt(1, QColor(20, 54, 104));
    return QBrush(sky);
}

QPixmap BannerPicture() {
    QPixmap pixmap(kBannerWidth, kBannerHeight);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(pixmap.rect(), BannerBrush(kBannerHeight));
    // Bars of a keyword frequency chart fading to the right.
    for (int i = 0; i < 14; ++i) {
        const int h = 44 - i * 3;
        p.fillRect(360 + i * 17, kBannerHeight - 6 - h, 11, h, QColor(255, 255, 255, 40 + i * 4));
    }
    DrawLens(p, QPointF(32, 27), 15, Qt::white);
    QFont title("Sans Serif", 22, QFont::Bold);
    title.setStyleHint(QFont::SansSerif);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(64, 4, 300, 34), Qt::AlignLeft | Qt::AlignVCenter, texts::kBannerName);
    QFont sub("Sans Serif", 9);
    sub.setStyleHint(QFont::SansSerif);
    p.setFont(sub);
    p.setPen(QColor(220, 232, 248));
    p.drawText(QRect(66, 36, 330, 20), Qt::AlignLeft | Qt::AlignVCenter, texts::kBannerTagline);
    return pixmap;
}

QPixmap StaticPicture() {
    ClipFiles::InitResources();
    QImageReader reader(":/clips/3.gif", "gif");
    QImage last;
    for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read()) last = frame;
    if (!last.isNull()) return QPixmap::fromImage(last);
    QPixmap pixmap(kClipSize, kClipSize);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawLens(p, QPointF(27, 27), 13, kDeepBlue);
    return pixmap;
}

QIcon FindIcon() {
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawLens(p, QPointF(19, 19), 13, kDeepBlue);
    return QIcon(pixmap);
}

QIcon StopIcon() {
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 20, 20), 2));
    p.setBrush(QColor(210, 40, 40));
    QPainterPath octagon;
    for (int i = 0; i < 8; ++i) {
        const double a = (i * 45 + 22.5) * 3.14159265 / 180;
        const QPointF point(24 + 20 * std::cos(a), 24 + 20 * std::sin(a));
        i == 0 ? octagon.moveTo(point) : octagon.lineTo(point);
    }
    octagon.closeSubpath();
    p.drawPath(octagon);
    p.fillRect(QRectF(14, 21, 20, 6), Qt::white);
    return QIcon(pixmap);
}

QIcon TitleIcon(int k) {
    const int s = kTitleIconSize * 2;
    QPixmap pixmap(s, s);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    switch (k) {
        case 0:  // keyword: a tag
        case 4: {
            p.setBrush(k == 0 ? kDeepBlue : kOrange);
            QPainterPath tag;
            tag.moveTo(2, 8);
            tag.lineTo(8, 2);
            tag.lineTo(22, 2);
            tag.lineTo(22, 22);
            tag.lineTo(8, 22);
            tag.lineTo(2, 16);
            tag.closeSubpath();
            p.drawPath(tag);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(8, 12), 2.5, 2.5);
            break;
        }
        case 1:  // count: bars
            p.setBrush(kDeepBlue);
            p.drawRect(2, 12, 5, 10);
            p.drawRect(9, 6, 5, 16);
            p.drawRect(16, 2, 5, 20);
            break;
        case 2:  // rank: a medal
            p.setBrush(kOrange);
            p.drawEllipse(QPointF(12, 12), 10, 10);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(12, 12), 4, 4);
            break;
        default:  // web page: a globe
            p.setPen(QPen(kDeepBlue, 2));
            p.setBrush(kLightBlue);
            p.drawEllipse(QPointF(12, 12), 10, 10);
            p.drawLine(2, 12, 22, 12);
            p.drawEllipse(QPointF(12, 12), 4, 10);
            break;
    }
    return QIcon(pixmap);
}

}  // namespace kv::app
