// Skin layouts and language files of any shape: generated mutations of the
// shipped ones never crash the builder or the language loader, and a broken
// file is refused with a reason.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <memory>
#include <random>

#include "support/TempDir.h"
#include "ui/CControlUI.h"
#include "builder/CDialogBuilder.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"

namespace kx520::ui {
namespace {

QByteArray Mutated(QByteArray text, std::mt19937& random) {
    static const QByteArray tokens[] = {"<", ">", "/>", "</", "\"", "=", "&amp;", "&#0;", "<!--",
                                        "<![CDATA[", "name=\"x\"", "width=\"-99999999999\"",
                                        "pos=\"1,2\"", "<Include source=\"XML/XML_MSG.xml\"/>",
                                        "\xff\xfe", "<Text id=\"a\">", "</Text>"};
    const int edits = 1 + static_cast<int>(random() % 5);
    for (int i = 0; i < edits && !text.isEmpty(); ++i) {
        const auto at = static_cast<qsizetype>(random() % static_cast<uint32_t>(text.size()));
        switch (random() % 5) {
            case 0: text[at] = static_cast<char>(random()); break;
            case 1: text.remove(at, 1 + static_cast<qsizetype>(random() % 16)); break;
            case 2: text.insert(at, tokens[random() % std::size(tokens)]); break;
            case 3: text.truncate(at); break;  // cut off
            default: text.insert(at, text.mid(static_cast<qsizetype>(random() % 64) % text.size(), 40)); break;
        }
    }
    return text;
}

QList<QString> FilesUnder(const QString& folder) {
    QList<QString> files;
    QDirIterator it(folder, {QStringLiteral("*.xml")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.append(it.next());
    }
    files.sort();
    return files;
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

TEST(SkinFuzz, MutatedLayoutsAreBuiltOrRefusedWithAReason) {
    const QList<QString> layouts = FilesUnder(QStringLiteral(KX520_SKIN_DIR "/XML"));
    ASSERT_FALSE(layouts.isEmpty());
    test::TempDir temp;
    const QString path = QString::fromStdString(temp.Path()) + QStringLiteral("/layout.xml");
    std::mt19937 random(872);
    int refused = 0;
    for (int round = 0; round < 400; ++round) {
        Write(path, Mutated(Read(layouts[round % layouts.size()]), random));
        CDialogBuilder builder;
        CPaintManagerUI manager;
        QString error;
        std::unique_ptr<CControlUI> root(builder.Create(path, &manager, nullptr, &error));
        if (!root) {
            ++refused;
            EXPECT_FALSE(error.isEmpty());
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(SkinFuzz, MutatedLanguageFilesLoadOrLeaveTheLanguageAsItWas) {
    const QList<QString> languages = FilesUnder(QStringLiteral(KX520_SKIN_DIR "/lang"));
    ASSERT_FALSE(languages.isEmpty());
    CResourceManager& resources = CResourceManager::Instance();
    QString error;
    ASSERT_TRUE(resources.LoadLanguage(languages.front(), &error)) << error.toStdString();
    test::TempDir temp;
    const QString path = QString::fromStdString(temp.Path()) + QStringLiteral("/lang.xml");
    std::mt19937 random(3089);
    for (int round = 0; round < 600; ++round) {
        Write(path, Mutated(Read(languages[round % languages.size()]), random));
        const QString before = resources.GetText(QStringLiteral("message_text_5"));
        error.clear();
        if (!resources.LoadLanguage(path, &error)) {
            EXPECT_FALSE(error.isEmpty());
            EXPECT_EQ(resources.GetText(QStringLiteral("message_text_5")), before);
        }
    }
    ASSERT_TRUE(resources.LoadLanguage(languages.front(), &error));
}

}  // namespace
}  // namespace kx520::ui
