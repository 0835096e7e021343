#pragma once

#include <QFileInfo>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

class QWidget;

// What a file dialog is asked: open or save, the filter list in its "description|pattern|..." form,
// the 1-based position of the filter offered first, the file name offered (its name is offered in
// folder) and the folder the dialog opens in.
//
// A save names the file it writes from the name typed in one of three ways. The extension is that of
// the chosen entry's first pattern ("*.raw" gives "raw"; "*.*" none), and the dialog asks before
// replacing the file so named, never only the one typed:
// - AsTyped: the name as typed;
// - WhenMissing: the extension added to a name typed without one ("JOB1" is JOB1.raw, "JOB1.old" stays);
// - Always: added to every name that does not already end in it ("job.raw" is job.raw.txt).
struct FileDialogRequest {
    enum class Mode { Open, Save };
    enum class Extension { AsTyped, WhenMissing, Always };
    Mode mode = Mode::Open;
    QString filter;
    int filterIndex = 1;
    QString fileName;
    QString folder;
    Extension extension = Extension::AsTyped;

    // The extension of the filter entry at 1-based position index, without the dot; empty when the
    // entry names none.
    QString extensionOf(int index) const
    {
        const QStringList parts = filter.split(u'|');
        const qsizetype at = 2 * (qsizetype(index) - 1);
        if (at < 0 || at >= parts.size())
            return QString();
        // The pattern part, or for an entry without one the pattern its description shows in brackets.
        QString patterns = at + 1 < parts.size() ? parts[at + 1] : QString();
        if (patterns.trimmed().isEmpty()) {
            static const QRegularExpression shown(QStringLiteral("\\(([^()]*)\\)$"));
            patterns = shown.match(parts[at]).captured(1);
        }
        const QString first =
            patterns.split(QRegularExpression(QStringLiteral("[ ;]")), Qt::SkipEmptyParts).value(0);
        static const QRegularExpression plain(QStringLiteral("^\\*\\.([^*?.\\[\\]]+)$"));
        return plain.match(first).captured(1);
    }

    // The file a save writes for the name chosen with the filter entry at index.
    QString savedName(const QString &chosen, int index) const
    {
        const QString suffix = extensionOf(index);
        if (mode != Mode::Save || extension == Extension::AsTyped || suffix.isEmpty() || chosen.isEmpty())
            return chosen;
        const QString dotted = u'.' + suffix;
        const bool add = extension == Extension::Always ? !chosen.endsWith(dotted, Qt::CaseInsensitive)
                                                        : !QFileInfo(chosen).fileName().contains(u'.');
        return add ? chosen + dotted : chosen;
    }
};

// What the user chose: the full file name (empty when the dialog was cancelled) and the 1-based
// position of the chosen filter.
struct FileDialogChoice {
    QString fileName;
    int filterIndex = 1;
};

// Every file dialog of the program goes through here, modal over parent, returning when the user
// has chosen or cancelled. Window tests answer the dialogs through a presenter of their own.
class FileDialogPresenter {
public:
    virtual ~FileDialogPresenter() = default;
    virtual FileDialogChoice showFileDialog(QWidget *parent, const FileDialogRequest &request) = 0;
};
