#pragma once

#include <vector>

#include "controls/FormWindow.h"
#include "controls/Simple.h"
#include "controls/TextBox.h"

namespace ondrevan {

class DeletePanel;
class DelFolders;
class ListView;

inline constexpr const char* kPreviewTitle = "Ondrevan Preview";

// What the next run would do, shown in a window of its own. It is worked out by the same
// plan a run carries out, and deletes nothing.
class PreviewForm {
  public:
    struct Uses {
        DelFolders& deleter;
        DeletePanel& panel;  // the choices a run would take now
        const ListView& ListView1;
    };
    explicit PreviewForm(const Uses& uses);
    PreviewForm(const PreviewForm&) = delete;
    PreviewForm& operator=(const PreviewForm&) = delete;

    // Plans the listed folders again; the window keeps answering meanwhile, and says how
    // far it has come.
    void cmdRefresh_Click();
    bool Counting() const { return counting_; }
    const std::vector<Control*>& Controls() const { return controls_; }

    FormWindow Window{"PreviewForm"};
    Label lblStatus{"lblStatus"};
    PushButton cmdRefresh{"cmdRefresh"};
    RichTextBox txtReport{"txtReport"};

  private:
    Uses uses_;
    std::vector<Control*> controls_;
    bool counting_ = false;
};

}  // namespace ondrevan
