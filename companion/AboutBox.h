#pragma once

#include <QDialog>

// The about box: the program's icon, name, version and what it does, with one OK button.
class AboutBox : public QDialog
{
public:
    AboutBox();
};
