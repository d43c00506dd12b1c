#include "form_view.h"
#include "mireloft_main.h"

#include <algorithm>

// Twips in, twips out; the window converts from and to pixels.
void MireloftMain::Form_Resize() {
    const float scaleHeight = m_view.scaleHeight();
    if (!(scaleHeight > 0))
        return; // minimized
    const float scaleLeft = 0;
    const float scaleTop = 0;
    const float width = m_view.scaleWidth();
    const float listTop = float(double(m_view.toolbarHeight()) + scaleTop);
    m_view.setSelectorGeometry(scaleLeft, listTop, width, float(double(scaleHeight) / 3.0));
    const double listHeight = m_view.selectorHeight();
    const float editorTop = float(double(m_view.toolbarHeight()) + scaleTop + listHeight);
    const double editorHeight =
        double(scaleHeight) - (double(m_view.toolbarHeight()) + double(m_view.selectorHeight()));
    // A client area lower than toolbar and list together leaves the editor no room, not less.
    m_view.setEditorGeometry(scaleLeft, editorTop, width, float(std::max(0.0, editorHeight)));
}
