#pragma once
// The Font Info dialog: edits the names a document's font is saved with (family,
// style, version, designer, copyright, license text and URL). The ASCII English
// family is asked for only while the family is not plain ASCII.
#include <QDialog>

#include "kernova/engine/FontDocument.h"

class QDoubleSpinBox;
class QLineEdit;
class QPlainTextEdit;

namespace kernova {

class FontInfoDialog : public QDialog {
  Q_OBJECT

 public:
  explicit FontInfoDialog(const FontDocument& document, QWidget* parent = nullptr);

  // The names as the fields hold them: an empty family leaves it unset (following the
  // document's name), an empty style is "Regular".
  FontInfo info() const;

  QLineEdit* familyField() const { return m_family; }
  QLineEdit* englishFamilyField() const { return m_englishFamily; }

 private:
  void familyEdited();

  FontInfo m_original;
  QString m_nameFamily;  // the document's name, the family while none is set
  QLineEdit* m_family = nullptr;
  QLineEdit* m_englishFamily = nullptr;
  QLineEdit* m_style = nullptr;
  QDoubleSpinBox* m_version = nullptr;
  QLineEdit* m_designer = nullptr;
  QLineEdit* m_copyright = nullptr;
  QPlainTextEdit* m_license = nullptr;
  QLineEdit* m_licenseUrl = nullptr;
};

}  // namespace kernova
