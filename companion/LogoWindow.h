#pragma once

#include <QWidget>

// The start-up logo: a small frameless window with the program's icon and name, centred on
// the screen, that stays until it is deleted.
class LogoWindow : public QWidget
{
public:
    LogoWindow();

protected:
    void paintEvent(QPaintEvent *event) override;
};
