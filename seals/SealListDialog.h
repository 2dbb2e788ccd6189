#pragma once

#include "device/KeyDriverBinding.h"
#include "platform/widgets/TemplateDialog.h"

#include <cstdint>

class QComboBox;

namespace talvo {

// Lists the seals on the key, shows the selected one's picture and times, adds a seal from a
// picture file, deletes the selected seal and writes a new time for it. Reaches the key only
// through the binding its opener hands it; without one, every key call answers as for an
// absent key (status 1).
class SealListDialog : public TemplateDialog {
    Q_OBJECT
public:
    explicit SealListDialog(QWidget* parent = nullptr);

    void setBinding(KeyDriverBinding* binding) { m_binding = binding; }
    const QString& picturePath() const { return m_picturePath; }

    // The file the selected seal's picture is written to; one path for the process.
    static QString temporaryPicturePath();

    void RefreshSealList();
    bool ExtractSealPicture(int32_t sealNumber, const QString& path);

protected:
    bool onInitDialog() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnSelchangeSealCombo();
    void OnButtonAddSeal();
    void OnButtonDeleteSeal();
    void OnButtonWriteSealTime();

    void showStatusMessage(int32_t status);
    void showNotice(const QString& text);
    bool writePictureOrReport(const QString& path, const uint8_t* bytes, std::size_t size);

    // The key's answer, or status 1 ("设备不存在。") when the opener handed no binding.
    template <class Call> int32_t onKey(Call&& call)
    {
        return m_binding ? call(*m_binding) : TL_ERR_NO_DEVICE;
    }

    KeyDriverBinding* m_binding = nullptr;
    QComboBox* m_sealCombo = nullptr;
    QString m_picturePath;
};

} // namespace talvo
