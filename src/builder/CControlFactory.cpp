#include "builder/CControlFactory.h"

#include "controls/CButtonUI.h"
#include "controls/CColorPaletteUI.h"
#include "controls/CComboUI.h"
#include "controls/CEditUI.h"
#include "ui/CHorizontalLayoutUI.h"
#include "controls/CLabelUI.h"
#include "builder/CListElementUI.h"
#include "builder/CListUI.h"
#include "controls/CMenuElementUI.h"
#include "controls/COptionUI.h"
#include "controls/CProgressUI.h"
#include "controls/CSliderUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/CVerticalLayoutUI.h"

namespace kx520::ui {

namespace {

template <typename T>
CControlUI* Make() {
    return new T();
}

struct BuiltIn {
    const char* className;
    CControlUI* (*create)();
};

constexpr BuiltIn kBuiltIns[] = {
    {"Control", &Make<CControlUI>},
    {"HorizontalLayout", &Make<CHorizontalLayoutUI>},
    {"VerticalLayout", &Make<CVerticalLayoutUI>},
    {"TabLayout", &Make<CTabLayoutUI>},
    {"Button", &Make<CButtonUI>},
    {"Option", &Make<COptionUI>},
    {"Label", &Make<CLabelUI>},
    {"Text", &Make<CLabelUI>},
    {"Edit", &Make<CEditUI>},
    {"Combo", &Make<CComboUI>},
    {"Slider", &Make<CSliderUI>},
    {"Progress", &Make<CProgressUI>},
    {"List", &Make<CListUI>},
    {"ListElement", &Make<CListElementUI>},
    {"ColorPalette", &Make<CColorPaletteUI>},
    {"Menu", &Make<CVerticalLayoutUI>},
    {"MenuElement", &Make<CMenuElementUI>},
};

}  // namespace

CControlFactory& CControlFactory::Instance() {
    static CControlFactory factory;
    return factory;
}

CControlUI* CControlFactory::CreateBuiltIn(const QString& className) {
    for (const BuiltIn& builtIn : kBuiltIns) {
        if (className == QLatin1String(builtIn.className)) {
            return builtIn.create();
        }
    }
    return nullptr;
}

void CControlFactory::RegisterControl(const QString& className, Creator creator) {
    m_creators.insert(className, std::move(creator));
}

CControlUI* CControlFactory::CreateControl(const QString& className) const {
    const auto it = m_creators.find(className);
    return it == m_creators.end() ? nullptr : it.value()();
}

}  // namespace kx520::ui
