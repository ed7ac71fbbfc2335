#include "kernova/app/FontInfoDialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>

namespace kernova {
namespace {

QString qString(const std::string& text) { return QString::fromStdString(text); }

QLineEdit* lineEdit(const std::string& text, QWidget* parent) {
  auto* edit = new QLineEdit(qString(text), parent);
  edit->setMinimumWidth(320);
  return edit;
}

}  // namespace

FontInfoDialog::FontInfoDialog(const FontDocument& document, QWidget* parent)
    : QDialog(parent), m_original(document.fontInfo()), m_nameFamily(qString(document.name())) {
  setWindowTitle(tr("Font Info"));
  m_family = lineEdit(m_original.family, this);
  m_family->setPlaceholderText(m_nameFamily);
  m_englishFamily = lineEdit(m_original.englishFamily, this);
  // Printable ASCII only: it names the font where the family's own script is not shown.
  m_englishFamily->setValidator(new QRegularExpressionValidator(QRegularExpression("[ -~]*"), m_englishFamily));
  m_style = lineEdit(m_original.style, this);
  m_style->setPlaceholderText(QStringLiteral("Regular"));
  m_version = new QDoubleSpinBox(this);
  m_version->setDecimals(3);
  m_version->setRange(0, 65535.999);
  m_version->setSingleStep(0.001);
  m_version->setValue(m_original.version / 1000.0);
  m_designer = lineEdit(m_original.designer, this);
  m_copyright = lineEdit(m_original.copyright, this);
  m_license = new QPlainTextEdit(qString(m_original.license), this);
  m_licenseUrl = lineEdit(m_original.licenseUrl, this);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* form = new QFormLayout(this);
  form->addRow(tr("&Family:"), m_family);
  form->addRow(tr("&English family:"), m_englishFamily);
  form->addRow(tr("&Style:"), m_style);
  form->addRow(tr("&Version:"), m_version);
  form->addRow(tr("&Designer:"), m_designer);
  form->addRow(tr("&Copyright:"), m_copyright);
  form->addRow(tr("&License:"), m_license);
  form->addRow(tr("License &URL:"), m_licenseUrl);
  form->addRow(buttons);
  connect(m_family, &QLineEdit::textChanged, this, &FontInfoDialog::familyEdited);
  familyEdited();
}

void FontInfoDialog::familyEdited() {
  const QString family = m_family->text().isEmpty() ? m_nameFamily : m_family->text();
  const std::string utf8 = family.toStdString();
  m_englishFamily->setEnabled(!isPlainAscii(utf8));
  m_englishFamily->setPlaceholderText(qString(postScriptPart(utf8)));
}

FontInfo FontInfoDialog::info() const {
  FontInfo info = m_original;
  info.family = m_family->text().toStdString();
  info.englishFamily = m_englishFamily->text().trimmed().toStdString();
  info.style = m_style->text().trimmed().isEmpty() ? "Regular" : m_style->text().trimmed().toStdString();
  info.version = uint32_t(qRound(m_version->value() * 1000));
  info.designer = m_designer->text().toStdString();
  info.copyright = m_copyright->text().toStdString();
  info.license = m_license->toPlainText().toStdString();
  info.licenseUrl = m_licenseUrl->text().trimmed().toStdString();
  return info;
}

}  // namespace kernova
