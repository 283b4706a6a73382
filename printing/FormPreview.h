#pragma once

#include <QDialog>
#include <QImage>
#include <QSize>

#include <functional>

class QLabel;
class QPushButton;
class QScrollArea;

namespace psykrona {

class TMollierPrint;

// The print preview, shown by the print dialog: one page at a time, the data
// page or the chart page, drawn by the print dialog's layout into a bitmap
// sized from the screen's width in the proportions of a printed page. A page
// that cannot be drawn leaves the previous picture in place without a
// message. Its print button closes it with Accepted, for the print dialog to
// print; its close button with Rejected.
class TfrmPreview : public QDialog {
    Q_OBJECT

public:
    // The reference page's height over its width, 6774 / 4672.
    static constexpr double KPageFactor = 1.449914383561644;

    explicit TfrmPreview(QWidget* Parent = nullptr);
    ~TfrmPreview() override;

    QPushButton* btnPage1;
    QPushButton* btnPage2;
    QPushButton* btnPrint;
    QPushButton* btnClose;
    QScrollArea* ScrollBox1;
    QLabel* Image1;

    QImage FPage; // the page as last drawn, at the screen's pixel ratio
    int FCurrentPage = 1;
    // The print dialog's layout, borrowed; set before every showing.
    TMollierPrint* FPrintLayout = nullptr;
    // The size of the screen the window is on; tests put in a screen of
    // their own.
    std::function<QSize()> ScreenSize;

    void FormShow();
    void LoadTexts();
    void RenderPage(int Page);
    void btnPage1Click();
    void btnPage2Click();
    void btnPrintClick();
    void btnCloseClick();

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void ShowPage();
};

} // namespace psykrona
