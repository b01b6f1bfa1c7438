#include "LogoWindow.h"

#include "ProgramIcon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

LogoWindow::LogoWindow()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("PelicastLogo"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(380, 170);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void LogoWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(0xf4, 0xf7, 0xfb));
    painter.setPen(QPen(QColor(0x1c, 0x4f, 0x9c), 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));

    paintProgramIcon(painter, QRectF(24, 25, 120, 120));

    QFont title = font();
    title.setPointSizeF(title.pointSizeF() * 2.4);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(0x1c, 0x4f, 0x9c));
    painter.drawText(QRectF(164, 40, 200, 50), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Pelicast"));

    painter.setFont(font());
    painter.setPen(QColor(0x44, 0x4b, 0x55));
    painter.drawText(QRectF(166, 92, 200, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Version " PELICAST_VERSION_TEXT));
    painter.drawText(QRectF(166, 114, 200, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Starting\u2026"));
}
