#pragma once

#include <QString>
#include <vector>

// A point of a drawing's model space: a POINT entity, or a block reference at its insertion point
// with the attributes that say what they are. x is E, y is N.
struct DrawingPoint {
    double x = 0;
    double y = 0;
    double z = 0;
    QString numberAttribute; // 点号, NUMBER, NO, ID, PT
    QString nameAttribute;   // 点名, NAME, PNAME
    QString heightAttribute; // 高程, ELEV, HEIGHT, Z
};

// A TEXT or MTEXT of the model space: where it stands (its alignment point when it is aligned), its
// height and its plain text.
struct DrawingLabel {
    double x = 0;
    double y = 0;
    double height = 0;
    QString text;
    // How many points the drawing holds before the label.
    qsizetype pointsBefore = 0;
};

// What a drawing holds for the point import, in the drawing's order.
struct DrawingEntities {
    std::vector<DrawingPoint> points;
    std::vector<DrawingLabel> labels;
};
