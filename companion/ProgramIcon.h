#pragma once

class QPainter;
class QRectF;

// The program's icon, drawn in code so the library needs no image files: a blue disc with a
// white envelope and three waves rising from it (one message, sent out to many).
void paintProgramIcon(QPainter &painter, const QRectF &box);
