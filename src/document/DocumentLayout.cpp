#include "document/DocumentLayout.h"

#include <cmath>

#include "platform/rules/Conversions.h"

DocumentLayout ComputeDocumentLayout(const DocumentLayoutInput& in) {
    const float W = in.clientWidth;
    const float H = in.clientHeight;
    const float Pw = in.pictureWidth;
    const float Ph = in.pictureHeight;
    // The absolute value keeps the viewport positive when the client area is thinner than a bar.
    const float heightAboveBar = std::fabs(H - in.horizontalBarHeight);
    const float widthBesideBar = std::fabs(W - in.verticalBarWidth);

    bool needH = Pw > W;
    bool needV = Ph > H;
    if (needH && !needV) {
        needV = Ph > heightAboveBar;
    } else if (needV && !needH) {
        needH = Pw > widthBesideBar;
    }

    DocumentLayout out{};
    out.viewportHeight = Ph;
    out.viewportWidth = Pw;
    if (needH && needV) {
        out.viewportHeight = heightAboveBar;
        out.viewportWidth = widthBesideBar;
    } else if (needH) {
        out.viewportHeight = heightAboveBar;
        out.viewportWidth = W;
    } else if (needV) {
        out.viewportHeight = H;
        out.viewportWidth = widthBesideBar;
    }

    out.hsbTop = out.viewportHeight;
    out.hsbLeft = 0;
    out.hsbWidth = out.viewportWidth;
    out.hsbMax = ToInt32(static_cast<double>(Pw) - static_cast<double>(out.viewportWidth));
    out.vsbTop = 0;
    out.vsbLeft = out.viewportWidth;
    out.vsbHeight = out.viewportHeight;
    out.vsbMax = ToInt32(static_cast<double>(Ph) - static_cast<double>(out.viewportHeight));
    out.hsbVisible = needH;
    out.vsbVisible = needV;
    return out;
}
