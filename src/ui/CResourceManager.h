#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <memory>

namespace kx520::ui {

class CPaintManagerUI;

// The toolkit's resources, one set per process (used on the UI thread only):
// the skin folder that layout and image paths are relative to, the image
// cache, and the language texts that text ids ("message_text_22") resolve
// through. A language change reloads the texts of every window.
class CResourceManager {
public:
    static CResourceManager& Instance();

    void SetResourcePath(const QString& folder);
    const QString& GetResourcePath() const { return m_resourcePath; }
    // A skin-relative path ("XML/x.xml") made absolute; absolute paths stay.
    QString ResolvePath(const QString& path) const;

    // The decoded image, cached; nullptr when it cannot be loaded.
    const QImage* Image(const QString& file);
    void ClearImages();

    // A language file: <Language name="English"><Text id="...">...</Text></Language>.
    // False (and nothing changes) when it cannot be read; `error` says why.
    bool LoadLanguage(const QString& file, QString* error);
    // The texts of a language file, without making it the current one.
    bool ReadLanguage(const QString& file, QString& language, QHash<QString, QString>& texts,
                      QString* error) const;
    const QString& GetLanguage() const { return m_language; }
    bool HasText(const QString& id) const { return m_texts.contains(id); }
    // The text of `id`, or `id` itself when the language has none.
    QString GetText(const QString& id) const { return m_texts.value(id, id); }

    // Every window re-reads the texts of its controls.
    void ReloadText();
    void AddManager(CPaintManagerUI* manager);
    void RemoveManager(CPaintManagerUI* manager);

private:
    CResourceManager() = default;

    QString m_resourcePath;
    QHash<QString, std::shared_ptr<QImage>> m_images;  // by resolved path
    QHash<QString, std::shared_ptr<QImage>> m_imagesByName;  // as asked for
    QString m_language;
    QHash<QString, QString> m_texts;
    QList<CPaintManagerUI*> m_managers;
};

}  // namespace kx520::ui
