#pragma once

#include <QMainWindow>

class QTabWidget;

namespace pelicast {

// The program's main window.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);

private:
    QTabWidget *m_pages = nullptr;
};

} // namespace pelicast
