#pragma once

#include <QString>

struct AppState;
class CommonDialog;
class Form4;
class MessagePresenter;

// The RQX5 measurement window's files through the main window's one file dialog: the list saved as
// a data file (.raw) or a measurement file (.txt), and such files opened into the list again.
class Rqx5MeasurementFiles {
public:
    // The dialog's single entries.
    static const QString kDataFileFilter;
    static const QString kMeasurementFileFilter;

    Rqx5MeasurementFiles(AppState &state, Form4 &window, CommonDialog &dialog, MessagePresenter &messages);

    void SaveRqx5DataFile();
    void SaveRqx5MeasurementFile();
    void OpenRqx5DataFile();
    void OpenRqx5MeasurementFile();

    CommonDialog &dialog() const { return m_dialog; }

private:
    struct Kind {
        const QString &filter;
        const char *extension; // added to a name chosen without one
        int fields;
        int trailerSeparators;
        bool dataFile;
    };
    static const Kind kDataFile;
    static const Kind kMeasurementFile;

    void save(const Kind &kind);
    void open(const Kind &kind);
    void error(const QString &path, const QString &reason);

    AppState &m_state;
    Form4 &m_window;
    CommonDialog &m_dialog;
    MessagePresenter &m_messages;
};
