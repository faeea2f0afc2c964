#include "builder/CDialogBuilder.h"

#include <QFile>
#include <QXmlStreamReader>

#include "ui/AttributeValue.h"
#include "controls/CComboUI.h"
#include "ui/CContainerUI.h"
#include "builder/CControlFactory.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"

namespace kx520::ui {

namespace {

QString Attribute(const QXmlStreamReader& xml, const char* name) {
    return xml.attributes().value(QLatin1String(name)).toString();
}

}  // namespace

CControlUI* CDialogBuilder::Create(const QString& file, CPaintManagerUI* manager,
                                   IDialogBuilderCallback* callback, QString* error) {
    m_manager = manager;
    m_callback = callback;
    m_error.clear();
    m_size = QSize();
    m_caption = QRect();
    m_title.clear();
    CControlUI* root = ParseFile(file, 0);
    if (error != nullptr) {
        *error = m_error;
    }
    return root;
}

bool CDialogBuilder::Fail(const QString& file, qint64 line, const QString& message) {
    if (m_error.isEmpty()) {
        m_error = line > 0 ? QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(message)
                           : QStringLiteral("%1: %2").arg(file, message);
    }
    return false;
}

CControlUI* CDialogBuilder::ParseFile(const QString& file, int depth) {
    if (depth > kMaxIncludeDepth) {
        Fail(file, 0, QStringLiteral("includes nested too deeply (a cycle?)"));
        return nullptr;
    }
    QFile input(CResourceManager::Instance().ResolvePath(file));
    if (!input.open(QIODevice::ReadOnly)) {
        Fail(file, 0, QStringLiteral("cannot open: ") + input.errorString());
        return nullptr;
    }
    QXmlStreamReader xml(&input);
    if (!xml.readNextStartElement()) {
        Fail(file, xml.lineNumber(),
             xml.hasError() ? xml.errorString() : QStringLiteral("no root element"));
        return nullptr;
    }
    CControlUI* root = nullptr;
    if (xml.name() == QLatin1String("Window")) {
        if (depth == 0 && !ParseWindow(xml, file)) {
            return nullptr;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("Font")) {
                if (!ParseFont(xml, file)) {
                    delete root;
                    return nullptr;
                }
                continue;
            }
            if (xml.name() == QLatin1String("Style")) {
                if (!ParseStyle(xml, file)) {
                    delete root;
                    return nullptr;
                }
                continue;
            }
            if (root != nullptr) {
                Fail(file, xml.lineNumber(), QStringLiteral("a window holds one root control"));
                delete root;
                return nullptr;
            }
            root = ParseControl(xml, file, depth);
            if (root == nullptr) {
                return nullptr;
            }
        }
    } else {
        root = ParseControl(xml, file, depth);
    }
    if (xml.hasError()) {
        Fail(file, xml.lineNumber(), xml.errorString());
        delete root;
        return nullptr;
    }
    if (root == nullptr) {
        Fail(file, 0, QStringLiteral("no control in the layout"));
    }
    return root;
}

bool CDialogBuilder::ParseWindow(QXmlStreamReader& xml, const QString& file) {
    for (const QXmlStreamAttribute& attribute : xml.attributes()) {
        const QString name = attribute.name().toString().toLower();
        const QString value = attribute.value().toString();
        if (name == QLatin1String("size")) {
            const auto size = ParseSize(value);
            if (!size) {
                return Fail(file, xml.lineNumber(), QStringLiteral("bad size \"%1\"").arg(value));
            }
            m_size = *size;
        } else if (name == QLatin1String("caption")) {
            const auto caption = ParseRect(value);
            if (!caption) {
                return Fail(file, xml.lineNumber(), QStringLiteral("bad caption \"%1\"").arg(value));
            }
            m_caption = *caption;
        } else if (name == QLatin1String("title")) {
            m_title = value;
        } else {
            return Fail(file, xml.lineNumber(),
                        QStringLiteral("unknown attribute \"%1\" on <Window>").arg(name));
        }
    }
    return true;
}

bool CDialogBuilder::ParseFont(QXmlStreamReader& xml, const QString& file) {
    const auto id = ParseInt(Attribute(xml, "id"));
    const auto size = ParseInt(Attribute(xml, "size"));
    const QString face = Attribute(xml, "name");
    if (!id || !size || *size <= 0 || face.isEmpty()) {
        return Fail(file, xml.lineNumber(), QStringLiteral("<Font> needs id, name and size"));
    }
    const bool bold = ParseBool(Attribute(xml, "bold")).value_or(false);
    const bool italic = ParseBool(Attribute(xml, "italic")).value_or(false);
    const bool underline = ParseBool(Attribute(xml, "underline")).value_or(false);
    if (m_manager != nullptr) {
        m_manager->AddFont(*id, face, *size, bold, italic, underline);
        if (ParseBool(Attribute(xml, "default")).value_or(false)) {
            m_manager->SetDefaultFont(face, *size, bold);
        }
    }
    xml.skipCurrentElement();
    return true;
}

bool CDialogBuilder::ParseStyle(QXmlStreamReader& xml, const QString& file) {
    QString name;
    CPaintManagerUI::Style attributes;
    for (const QXmlStreamAttribute& attribute : xml.attributes()) {
        const QString key = attribute.name().toString();
        if (key.compare(QLatin1String("name"), Qt::CaseInsensitive) == 0) {
            name = attribute.value().toString();
        } else if (key.compare(QLatin1String("style"), Qt::CaseInsensitive) == 0) {
            return Fail(file, xml.lineNumber(), QStringLiteral("a <Style> cannot name a style"));
        } else {
            attributes.append({key, attribute.value().toString()});
        }
    }
    if (name.isEmpty()) {
        return Fail(file, xml.lineNumber(), QStringLiteral("<Style> needs a name"));
    }
    m_styles.insert(name.toLower(), attributes);
    if (m_manager != nullptr) {
        m_manager->AddStyle(name, attributes);
    }
    xml.skipCurrentElement();
    return true;
}

std::optional<CPaintManagerUI::Style> CDialogBuilder::FindStyle(const QString& name) const {
    const auto found = m_styles.constFind(name.toLower());
    if (found != m_styles.constEnd()) {
        return *found;
    }
    return m_manager != nullptr ? m_manager->GetStyle(name) : std::nullopt;
}

CControlUI* CDialogBuilder::MakeControl(const QString& tag) const {
    if (CControlUI* control = CControlFactory::CreateBuiltIn(tag)) {
        return control;
    }
    if (m_callback != nullptr) {
        if (CControlUI* control = m_callback->CreateControl(tag)) {
            return control;
        }
    }
    return CControlFactory::Instance().CreateControl(tag);
}

CControlUI* CDialogBuilder::ParseControl(QXmlStreamReader& xml, const QString& file, int depth) {
    const QString tag = xml.name().toString();
    const qint64 line = xml.lineNumber();
    CControlUI* control = nullptr;
    QXmlStreamAttributes attributes = xml.attributes();
    if (tag == QLatin1String("Include")) {
        const QString source = attributes.value(QLatin1String("source")).toString();
        if (source.isEmpty()) {
            Fail(file, line, QStringLiteral("<Include> needs a source"));
            return nullptr;
        }
        control = ParseFile(source, depth + 1);
        if (control == nullptr) {
            m_error = QStringLiteral("%1:%2: cannot include \"%3\": %4")
                          .arg(file)
                          .arg(line)
                          .arg(source, m_error);
            return nullptr;
        }
        xml.skipCurrentElement();
        attributes.removeIf([](const QXmlStreamAttribute& a) {
            return a.name() == QLatin1String("source");
        });
    } else {
        control = MakeControl(tag);
        if (control == nullptr) {
            Fail(file, line, QStringLiteral("unknown tag <%1>").arg(tag));
            return nullptr;
        }
    }
    // A style's attributes come where "style" stands; later ones override.
    QList<QPair<QString, QString>> expanded;
    for (const QXmlStreamAttribute& attribute : attributes) {
        const QString name = attribute.name().toString();
        const QString value = attribute.value().toString();
        if (name.compare(QLatin1String("style"), Qt::CaseInsensitive) != 0) {
            expanded.append({name, value});
            continue;
        }
        const auto style = FindStyle(value);
        if (!style) {
            Fail(file, line, QStringLiteral("unknown style \"%1\" on <%2>").arg(value, tag));
            delete control;
            return nullptr;
        }
        expanded.append(*style);
    }
    for (const auto& [name, value] : expanded) {
        if (!control->SetAttribute(name, value)) {
            Fail(file, line,
                 QStringLiteral("unknown attribute or bad value %1=\"%2\" on <%3>")
                     .arg(name, value, tag));
            delete control;
            return nullptr;
        }
    }
    if (tag != QLatin1String("Include") && !ParseChildren(xml, file, control, depth)) {
        delete control;
        return nullptr;
    }
    return control;
}

bool CDialogBuilder::ParseChildren(QXmlStreamReader& xml, const QString& file,
                                   CControlUI* control, int depth) {
    auto* container = dynamic_cast<CContainerUI*>(control);
    auto* combo = dynamic_cast<CComboUI*>(control);
    while (xml.readNextStartElement()) {
        if (combo != nullptr && xml.name() == QLatin1String("Item")) {
            combo->AddItem(Attribute(xml, "text"), Attribute(xml, "userdata"));
            if (ParseBool(Attribute(xml, "selected")).value_or(false)) {
                combo->SelectItem(combo->GetCount() - 1, false);
            }
            xml.skipCurrentElement();
            continue;
        }
        if (container == nullptr) {
            return Fail(file, xml.lineNumber(),
                        QStringLiteral("<%1> cannot hold <%2>")
                            .arg(control->GetClass(), xml.name().toString()));
        }
        CControlUI* child = ParseControl(xml, file, depth);
        if (child == nullptr) {
            return false;
        }
        container->Add(child);
    }
    return !xml.hasError() || Fail(file, xml.lineNumber(), xml.errorString());
}

}  // namespace kx520::ui
