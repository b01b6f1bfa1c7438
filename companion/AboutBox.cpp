#include "AboutBox.h"

#include "ProgramIcon.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace {

QPixmap iconPixmap(int side, qreal ratio)
{
    QPixmap pixmap(QSize(side, side) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paintProgramIcon(painter, QRectF(0, 0, side, side));
    return pixmap;
}

} // namespace

AboutBox::AboutBox()
{
    setObjectName(QStringLiteral("PelicastAbout"));
    setWindowTitle(QStringLiteral("About Pelicast"));
    setModal(true);

    auto *icon = new QLabel;
    icon->setPixmap(iconPixmap(72, devicePixelRatioF()));
    icon->setAlignment(Qt::AlignTop);

    auto *name = new QLabel(QStringLiteral("<b><big>Pelicast</big></b>"));
    auto *version = new QLabel(QStringLiteral("Version " PELICAST_VERSION_TEXT));
    auto *description = new QLabel(QStringLiteral(
        "Sends one message to a list of recipients through SMTP, a personal copy for each."));
    description->setWordWrap(true);

    auto *texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(version);
    texts->addSpacing(8);
    texts->addWidget(description);
    texts->addStretch();

    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setFixedWidth(400);
}
