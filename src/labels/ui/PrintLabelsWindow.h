#pragma once

#include "labels/ui/LabelSheet.h"
#include "platform/AppContext.h"

#include <QList>
#include <QWidget>
#include <memory>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLayout;
class QPrintPreviewWidget;
class QPrinter;
class QSpinBox;

// Bar-code labels for units: the layout (a label printer's single labels, or sheets of label stock from any position
// of a partly used sheet), shown as it will print, then printed on the desktop's printer or, where there is none,
// saved as a PDF in the data folder's Printouts folder.
class PrintLabelsWindow : public QWidget {
    Q_OBJECT
public:
    explicit PrintLabelsWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~PrintLabelsWindow() override;

    // The units to label, set by the opener before load.
    QList<qint64> unitIds;
    // Reads the units' labels; false (said so) when none of them can have one.
    bool load();

    // The labels as the window's settings lay them out now.
    LabelSheet sheet() const;

    QComboBox* layoutPicker() const { return m_layout; }
    QSpinBox* startPicker() const { return m_start; }
    QDoubleSpinBox* widthBox() const { return m_width; }
    QDoubleSpinBox* heightBox() const { return m_height; }
    QPrintPreviewWidget* preview() const { return m_preview; }
    QLabel* notes() const { return m_notes; }
    QLabel* warning() const { return m_warning; }

    static constexpr double kDefaultWidth = 57;
    static constexpr double kDefaultHeight = 32;

public slots:
    void printLabels();

private:
    void setUpControls();
    QLayout* buildSettings();
    // Every change of a setting redraws the preview.
    void followSettings();
    LabelLayout chosenLayout() const;
    void settingsChanged();

    AppContext& m_ctx;
    std::vector<PrintedLabel> m_labels;
    std::unique_ptr<QPrinter> m_previewPrinter;
    QComboBox* m_layout;
    QDoubleSpinBox* m_width;
    QDoubleSpinBox* m_height;
    QSpinBox* m_start;
    QLabel* m_count;
    QLabel* m_notes;
    QLabel* m_warning;
    QPrintPreviewWidget* m_preview;
};
