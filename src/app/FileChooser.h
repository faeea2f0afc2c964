#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace kx520 {

// The file dialogs of the main window: profiles, macros and recoil patterns, opened and
// saved, starting in the folder of the last file chosen. The desktop's own
// dialog where it offers one (through its portal or platform theme), else
// Qt's, dressed in the skin's dark colours.
class FileChooser {
public:
    using AskPath = std::function<QString(bool save, const QString& filter)>;
    enum class Kind { kProfile, kMacro, kShoot };

    // "" when cancelled. A saved name without an extension gets the kind's.
    QString Ask(QWidget* parent, bool save, const QString& suggested, Kind kind);
    // The next Ask returns `path` without showing ("" cancels it).
    void AnswerNext(const QString& path) { m_answer = path; }
    // Every Ask goes to `ask` instead of a dialog (tests).
    void SetAsker(AskPath ask) { m_ask = std::move(ask); }

private:
    QString Show(QWidget* parent, bool save, const QString& start, const QString& filter) const;

    AskPath m_ask;
    std::optional<QString> m_answer;
    QString m_lastFolder;
};

}  // namespace kx520
