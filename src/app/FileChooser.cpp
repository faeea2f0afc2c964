#include "app/FileChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

#include "ui/CResourceManager.h"

namespace kx520 {

namespace {

// The skin's colours for Qt's own dialog; a desktop's dialog keeps its own.
QPalette SkinPalette() {
    QPalette palette;
    const QColor window(0x1E, 0x20, 0x27);
    const QColor base(0x23, 0x26, 0x2E);
    const QColor text(0xE8, 0xEA, 0xF0);
    const QColor dim(0x80, 0x86, 0x94);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x2C, 0x30, 0x3A));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Highlight, QColor(0x2F, 0x80, 0xED));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, dim);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, dim);
    }
    return palette;
}

}  // namespace

QString FileChooser::Ask(QWidget* parent, bool save, const QString& suggested, Kind kind) {
    // Both letter cases: a file from another system may say .MAC.
    QString filter = ui::CResourceManager::Instance().GetText(QStringLiteral("profile_files")) +
                     QStringLiteral(" (*.json *.JSON *.Json)");
    QString extension = QStringLiteral(".json");
    if (kind == Kind::kMacro) {
        filter = QStringLiteral("Macro Files(*.mac *.MAC)");
        extension = QStringLiteral(".mac");
    } else if (kind == Kind::kShoot) {
        filter = QStringLiteral("Shoot Files(*.shoot *.Shoot *.SHOOT)");
        extension = QStringLiteral(".shoot");
    }
    QString path;
    if (m_answer) {
        path = *m_answer;
        m_answer.reset();
    } else if (m_ask) {
        path = m_ask(save, filter);
    } else {
        const QString folder = m_lastFolder.isEmpty() ? QDir::homePath() : m_lastFolder;
        const QString start = save && !suggested.isEmpty() ? QDir(folder).filePath(suggested) : folder;
        path = Show(parent, save, start, filter);
    }
    if (path.isEmpty()) {
        return path;
    }
    // A name typed without an extension would be hidden by the import filter.
    if (save && QFileInfo(path).suffix().isEmpty()) {
        path += extension;
    }
    m_lastFolder = QFileInfo(path).absolutePath();
    return path;
}

QString FileChooser::Show(QWidget* parent, bool save, const QString& start, const QString& filter) const {
    QFileDialog dialog(parent, QString(), start, filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Used only when no desktop dialog takes over: then it is Qt's own,
    // which would be light inside the dark skin.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        fusion->setParent(&dialog);
        dialog.setStyle(fusion);
    }
    dialog.setPalette(SkinPalette());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace kx520
