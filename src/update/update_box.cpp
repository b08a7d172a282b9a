#include "update/update_box.h"

#include <QPushButton>

#include "res/control_ids.h"
#include "res/resource_ids.h"

CUpdateBox::CUpdateBox(QWidget* pParent) : CTemplateDialog(IDD_UPDATEBOX, pParent) {
    connect(Bind<QPushButton>(update_box::kClose), &QPushButton::clicked, this, [this] { OnCloseBox(); });
}

void CUpdateBox::OnCloseBox() {
    EndDialog(IDCANCEL);
}
