#pragma once

class QCoreApplication;

// Qt's own texts (the file dialog's buttons, columns and questions, a message box's details button)
// in the program's language. The translator belongs to app.
void InstallChineseQtTexts(QCoreApplication &app);
