#include "ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

void paintProgramIcon(QPainter &painter, const QRectF &box)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(box.width(), box.height());
    const QRectF disc(box.center().x() - side / 2, box.center().y() - side / 2, side, side);

    QLinearGradient fill(disc.topLeft(), disc.bottomRight());
    fill.setColorAt(0, QColor(0x3b, 0x8e, 0xde));
    fill.setColorAt(1, QColor(0x1c, 0x4f, 0x9c));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawEllipse(disc);

    // The envelope sits in the lower half, the waves above it.
    const qreal u = side / 16;
    const QRectF envelope(disc.left() + 4 * u, disc.top() + 8 * u, 8 * u, 5 * u);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(envelope, u / 2, u / 2);
    QPen line(QColor(0x1c, 0x4f, 0x9c), qMax<qreal>(1, u / 2), Qt::SolidLine, Qt::RoundCap,
              Qt::RoundJoin);
    painter.setPen(line);
    painter.setBrush(Qt::NoBrush);
    QPainterPath flap;
    flap.moveTo(envelope.topLeft() + QPointF(u / 2, u / 2));
    flap.lineTo(envelope.center().x(), envelope.top() + 3 * u);
    flap.lineTo(envelope.topRight() + QPointF(-u / 2, u / 2));
    painter.drawPath(flap);

    QPen wave(Qt::white, qMax<qreal>(1, 0.7 * u), Qt::SolidLine, Qt::RoundCap);
    painter.setPen(wave);
    const QPointF source(envelope.center().x(), envelope.top() - u / 2);
    for (int i = 1; i <= 3; ++i) {
        const qreal r = 1.4 * i * u;
        painter.drawArc(QRectF(source.x() - r, source.y() - r, 2 * r, 2 * r), 50 * 16, 80 * 16);
    }
    painter.restore();
}
