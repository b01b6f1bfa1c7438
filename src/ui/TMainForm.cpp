#include "ui/TMainForm.h"

#include <QTabWidget>

namespace pelicast {

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Pelicast"));
    resize(703, 493);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    const struct { const char *name, *caption; } tabs[] = {
        {"TabSheet1", "Message"}, {"TabSheet2", "Recipents"},
        {"TabSheet3", "Settings"}, {"TabSheet4", "Statistics"}};
    for (const auto &tab : tabs) {
        auto *page = new QWidget(m_pages);
        page->setObjectName(QString::fromLatin1(tab.name));
        m_pages->addTab(page, QString::fromLatin1(tab.caption));
    }
    setCentralWidget(m_pages);
}

} // namespace pelicast
