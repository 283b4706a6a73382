#pragma once

#include <QDialog>

namespace psykrona {

// The print preview, shown by the print dialog. For now an empty window
// that exists from the start like the others; the pages come with the
// printing work.
class TfrmPreview : public QDialog {
    Q_OBJECT

public:
    explicit TfrmPreview(QWidget* Parent = nullptr);
};

} // namespace psykrona
