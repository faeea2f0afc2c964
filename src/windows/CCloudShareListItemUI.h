#pragma once

#include "windows/CFramedListRowUI.h"

namespace kx520 {

// A row for layouts that list shared items: framed while the pointer is on
// it and it is not selected.
class CCloudShareListItemUI : public CFramedListRowUI {
    Q_OBJECT

public:
    using CFramedListRowUI::CFramedListRowUI;
    QString GetClass() const override { return QStringLiteral("CloudShareListItemUI"); }

protected:
    bool FrameSuppressed() const override { return IsSelected(); }
};

}  // namespace kx520
