// The project settings window "Настройки": the open project's catalogue entry in
// editable controls; "Запиши" checks them, rewrites the catalogue and the settings file
// and switches to the edited project.
#pragma once

#include "shell/ProjectSettings.h"
#include "widgets/TFormWindow.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace dx {

class WindowContext;

class TFormEditName : public TFormWindow {
public:
    explicit TFormEditName(WindowContext &context);

    // Fills the controls from the open project's entry (the directorate list sorted).
    void FillFromCatalogue();
    // "Запиши": false when an error stopped the saving.
    bool Save();

    QLineEdit *kind() const { return vid_; }
    QLineEdit *name() const { return bgname_; }
    QLineEdit *year() const { return godina_; }
    QComboBox *directorate() const { return direkcia_; }
    QLineEdit *tableFile() const { return tabl_; }
    QLineEdit *landAreaFile() const { return zemnom_; }
    QCheckBox *activeBox() const { return active_; }
    QPushButton *saveButton() const { return save_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    WindowContext &context_;
    QLineEdit *vid_, *bgname_, *godina_, *tabl_, *zemnom_;
    QComboBox *direkcia_;
    QCheckBox *active_;
    QPushButton *save_;
};

} // namespace dx
