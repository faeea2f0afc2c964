#include "ui/CResourceManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include "ui/CPaintManagerUI.h"

namespace kx520::ui {

CResourceManager& CResourceManager::Instance() {
    static CResourceManager manager;
    return manager;
}

void CResourceManager::SetResourcePath(const QString& folder) {
    m_resourcePath = QDir::cleanPath(folder);
    ClearImages();
}

QString CResourceManager::ResolvePath(const QString& path) const {
    QString normalised = path;
    normalised.replace('\\', '/');
    if (QFileInfo(normalised).isAbsolute() || m_resourcePath.isEmpty()) {
        return normalised;
    }
    return m_resourcePath + '/' + normalised;
}

const QImage* CResourceManager::Image(const QString& file) {
    // By the name as asked first: resolving it is most of a lookup, and a
    // lit page asks for the same few images on every frame.
    if (const auto named = m_imagesByName.constFind(file); named != m_imagesByName.cend()) {
        return named.value().get();
    }
    const QString path = ResolvePath(file);
    auto cached = m_images.find(path);
    if (cached == m_images.end()) {
        auto image = std::make_shared<QImage>();
        if (!image->load(path)) {
            image.reset();
        }
        cached = m_images.insert(path, image);
    }
    m_imagesByName.insert(file, cached.value());
    return cached.value().get();
}

void CResourceManager::ClearImages() {
    m_images.clear();
    m_imagesByName.clear();
}

bool CResourceManager::LoadLanguage(const QString& file, QString* error) {
    QString language;
    QHash<QString, QString> texts;
    if (!ReadLanguage(file, language, texts, error)) {
        return false;
    }
    m_language = language;
    m_texts = std::move(texts);
    return true;
}

bool CResourceManager::ReadLanguage(const QString& file, QString& language,
                                    QHash<QString, QString>& texts, QString* error) const {
    QFile input(ResolvePath(file));
    if (!input.open(QIODevice::ReadOnly)) {
        if (error != nullptr) {
            *error = input.fileName() + ": " + input.errorString();
        }
        return false;
    }
    QXmlStreamReader xml(&input);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("Language")) {
        if (!xml.hasError()) {
            xml.raiseError(QStringLiteral("the root element must be Language"));
        }
    } else {
        language = xml.attributes().value(QLatin1String("name")).toString();
        while (xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("Text")) {
                xml.skipCurrentElement();
                continue;
            }
            const QString id = xml.attributes().value(QLatin1String("id")).toString();
            texts.insert(id, xml.readElementText());
        }
    }
    if (xml.hasError()) {
        if (error != nullptr) {
            *error = QStringLiteral("%1:%2: %3")
                         .arg(input.fileName())
                         .arg(xml.lineNumber())
                         .arg(xml.errorString());
        }
        return false;
    }
    return true;
}

void CResourceManager::ReloadText() {
    for (CPaintManagerUI* manager : m_managers) {
        manager->ReloadText();
    }
}

void CResourceManager::AddManager(CPaintManagerUI* manager) {
    if (!m_managers.contains(manager)) {
        m_managers.append(manager);
    }
}

void CResourceManager::RemoveManager(CPaintManagerUI* manager) {
    m_managers.removeAll(manager);
}

}  // namespace kx520::ui
