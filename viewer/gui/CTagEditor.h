#pragma once
#include "viewer/gui/CMyDialog.h"

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace viewer {

// "Audio File Tags (ID3v2)": the seven tag texts of the shown file and the choice of the
// Unicode form. The caller fills the texts before running it and reads them after it ended
// with Accepted; "Done" also stores the Unicode choice as "UseUnicodeForTags". The Genre list
// offers the genre names as the "TagsCodepage" setting reads them, and any other text.
class CTagEditor : public CMyDialog {
    Q_OBJECT
  public:
    // Control ids; they are the object names of the controls.
    enum ControlId {
        TitleId = 1019,
        ArtistId = 1034,
        AlbumId = 1036,
        CommentId = 1037,
        YearId = 1049,
        TrackId = 1044,
        GenreId = 1050,
        UseUnicodeId = 1006,
        DoneId = 1,
    };
    // Characters a field takes.
    static constexpr int TextLimit = 255;

    explicit CTagEditor(QWidget* parent);

    void accept() override;

    std::u16string Title;
    std::u16string Artist;
    std::u16string Album;
    std::u16string Genre;
    std::u16string Year;
    std::u16string Comment;
    std::u16string TrackNum;
    bool UseUnicode = false;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    struct Field {
        std::u16string CTagEditor::*member;
        QLineEdit* edit;
    };

    void BuildControls();
    void AddLabel(const char* text, int x, int y, int width);
    void AddEdit(int id, int x, int y, int width, std::u16string CTagEditor::*member);
    void AddGenreBox();
    void InitDialog();
    void ToControls();
    bool FromControls();

    std::vector<Field> fields_;
    QComboBox* genre_ = nullptr;
    QCheckBox* useUnicode_ = nullptr;
    bool initialised_ = false;
};

} // namespace viewer
