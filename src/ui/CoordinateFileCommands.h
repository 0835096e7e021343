#pragma once

#include <QString>
#include <functional>

class CommonDialog;
class CoordinateTableModel;
class Form1;
class MessagePresenter;
class QIODevice;

// The main window's file commands: open a coordinate file into the table, save the table in a
// chosen format, and the older save in the table's shown column order. The filter chosen in the
// dialog is the file's format, a row of CoordinateFormats. A file is written straight from the table, piece
// by piece: a million-point text is never held whole.
class CoordinateFileCommands {
public:
    // The dialogs' filter lists, "description|pattern|..." as the dialog takes them. The save list
    // is the one of every command that saves coordinates in a chosen format.
    static const QString kSaveFilter;
    static const QString kOlderSaveFilter;
    static const QString kDrawingFilter;

    // nez: the coordinate order chosen at start, read each time it is needed.
    CoordinateFileCommands(CoordinateTableModel &table, Form1 &window, CommonDialog &dialog,
                           MessagePresenter &messages, std::function<bool()> nez);

    // The notice after a file in which lines were not read, for every file command of the program.
    static QString skippedLinesNotice(int skipped, int firstSkippedLine);
    // The error after a file that cannot be read or written: its path and the reason.
    static QString fileError(const QString &path, const QString &reason);

    void Open(); // menu "打开  " (Open) and button "打 开" (Command10)
    // menu "从CAD图形导入点" (ImportDrawingPoints): the points of a DXF drawing fill the table as
    // an opened coordinate file does, in the order chosen at start; a drawing that gives no points
    // leaves the table as it was and says why.
    void ImportDrawingPoints();
    void Save();      // menu "保存" (Save)
    void OlderSave(); // button "保 存" (Command9)

private:
    // Whether the table's third column holds N.
    bool tableIsNez() const;
    // Writes the file through a save file with one of the writers; a failure is reported.
    void saveFile(const QString &path, const std::function<bool(QIODevice &)> &write);
    void error(const QString &path, const QString &reason);

    CoordinateTableModel &m_table;
    Form1 &m_window;
    CommonDialog &m_dialog;
    MessagePresenter &m_messages;
    std::function<bool()> m_nez;
};
