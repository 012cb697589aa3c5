// The default answerer: real Qt dialogs, and a modal loop for forms.
#include "toolkit/widgets/ModalAnswerer.h"

#include <QApplication>
#include <QColorDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFontDialog>
#include <cmath>

#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/Dialogs.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/MessageBoxWindow.h"

namespace {

// Qt's name filters: "Description (*.a *.b)".
QStringList NameFilters(const std::string& Filter) {
    QStringList filters;
    for (const TFilterEntry& entry : SplitFilter(Filter)) {
        QString patterns = QString::fromStdString(entry.Patterns);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QString::fromStdString(entry.Description) + QStringLiteral(" (") + patterns +
                       QLatin1Char(')');
    }
    return filters;
}

QColor ToQColor(TColor Color) {
    const TColor rgb = ColorToRGB(Color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// "ColorA=RRGGBB": the slot from the letter, the colour from the TColor digits.
void ApplyCustomColor(const std::string& Entry) {
    const std::size_t equals = Entry.find('=');
    if (equals != 6 || Entry.compare(0, 5, "Color") != 0) return;
    const int slot = Entry[5] - 'A';
    bool ok = false;
    const unsigned value = QString::fromStdString(Entry.substr(equals + 1)).toUInt(&ok, 16);
    if (ok && slot >= 0 && slot < QColorDialog::customCount())
        QColorDialog::setCustomColor(slot, ToQColor(value));
}

class TQtAnswerer : public TModalAnswerer {
public:
    TModalResult AnswerMessage(const TMessageRequest& Request) override {
        TMessageBoxWindow box(Request, DialogOwner());
        return box.Run();
    }

    bool AnswerFileDialog(const TFileRequest& Request, TFileAnswer& Answer) override {
        QFileDialog dialog(DialogOwner(), QString::fromStdString(Request.Title),
                           QString::fromStdString(Request.InitialDir));
        dialog.setAcceptMode(Request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(Request.Save          ? QFileDialog::AnyFile
                           : Request.MultiSelect ? QFileDialog::ExistingFiles
                                                 : QFileDialog::ExistingFile);
        if (Request.Save && !Request.OverwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
        const QStringList filters = NameFilters(Request.Filter);
        dialog.setNameFilters(filters);
        if (Request.FilterIndex >= 1 && Request.FilterIndex <= filters.size())
            dialog.selectNameFilter(filters[Request.FilterIndex - 1]);
        if (!Request.FileName.empty()) dialog.selectFile(QString::fromStdString(Request.FileName));
        if (dialog.exec() != QDialog::Accepted) return false;
        Answer.Files.clear();
        for (const QString& file : dialog.selectedFiles())
            Answer.Files.push_back(file.toStdString());
        Answer.FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
        if (Answer.FilterIndex < 1) Answer.FilterIndex = Request.FilterIndex;
        return !Answer.Files.empty();
    }

    bool AnswerColorDialog(const TColorRequest& Request, TColor& Color) override {
        for (const std::string& entry : Request.CustomColors)
            ApplyCustomColor(entry);
        const QColor chosen = QColorDialog::getColor(ToQColor(Request.Color), DialogOwner());
        if (!chosen.isValid()) return false;
        Color = RGB(static_cast<std::uint8_t>(chosen.red()), static_cast<std::uint8_t>(chosen.green()),
                    static_cast<std::uint8_t>(chosen.blue()));
        return true;
    }

    bool AnswerFontDialog(const TFont& Initial, TFont& Font) override {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, WidgetFont(Initial), DialogOwner());
        if (!ok) return false;
        Font = Initial;
        Font.Name = chosen.family().toStdString();
        Font.Height = chosen.pixelSize() > 0
                          ? -chosen.pixelSize()
                          : -static_cast<int>(std::lround(chosen.pointSizeF() * 96.0 / 72.0));
        Font.Style = (chosen.bold() ? fsBold : 0) | (chosen.italic() ? fsItalic : 0) |
                     (chosen.underline() ? fsUnderline : 0) | (chosen.strikeOut() ? fsStrikeOut : 0);
        return true;
    }

    TModalResult ShowModal(TForm& Form) override {
        Form.BeginModal();
        for (;;) {
            while (Form.GetModalResult() == mrNone && !Application->Terminated())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (Application->Terminated()) {
                Form.SetModalResult(mrCancel);
                break;
            }
            if (Form.CloseModal()) break;
        }
        Form.EndModal();
        return Form.GetModalResult();
    }
};

TQtAnswerer QtAnswerer;
TModalAnswerer* Current = nullptr;

} // namespace

TModalAnswerer& ModalAnswerer() {
    return Current != nullptr ? *Current : QtAnswerer;
}

void SetModalAnswerer(TModalAnswerer* Answerer) {
    Current = Answerer;
}
