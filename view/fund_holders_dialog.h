// The 持有基金 dialog: for one stock of the results list, each fund of the last run holding it.
#pragma once

#include "collect/ui_ports.h"
#include "view/fund_details.h"

#include <QDialog>

#include <vector>

namespace corvelle::view {

// A small modal dialog titled "持有基金": the stock's code and name above a table of its funds (code,
// name, ratio, as-of date) in analysis order, and a close button. objectNames: the dialog
// "对话框_持有基金", its caption "标签_持有基金_股票", its table "表格_持有基金".
class FundHoldersDialog final : public QDialog {
    Q_OBJECT

public:
    FundHoldersDialog(const collect::CellRow& stockCells, const std::vector<FundHolder>& holders,
                      QWidget* parent = nullptr);
};

}  // namespace corvelle::view
