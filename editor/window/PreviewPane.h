#pragma once

// What the pupils will see of the chosen question: its equation card and its set-up picture, as
// the generator draws them, or why a picture cannot be drawn.

#include "QuestionEditor.h"

#include <QLabel>
#include <QWidget>

namespace vaporica::editor {

class PreviewPane : public QWidget {
public:
    PreviewPane();
    void showPictures(const QuestionEditor &editor, int question);

private:
    QLabel *card_ = nullptr, *setup_ = nullptr;
};

} // namespace vaporica::editor
