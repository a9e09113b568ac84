#pragma once

#include <QString>

// Selects the body's first block as a user's drag would. Run in the page's own script world
// (notes' scripts are off); set by the page itself, so no key races the caret placed when
// editing starts.
inline QString SelectFirstBlockScript() {
    return QStringLiteral("(function () {"
                          "  document.body.focus();"
                          "  const range = document.createRange();"
                          "  range.selectNodeContents(document.body.firstElementChild || document.body);"
                          "  window.getSelection().removeAllRanges();"
                          "  window.getSelection().addRange(range);"
                          "})();");
}
