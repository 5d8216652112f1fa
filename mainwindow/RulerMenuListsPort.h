#pragma once

namespace tova {

class EditContext;

// The data-dependent lists of the ruler's pop-up menu, built by the label and region commands: the
// jump list `mnJump` (one item per label) and the region list `mnRegion` (one item per region name).
// Each answers the number of entries it listed.
class RulerMenuListsPort {
public:
    virtual ~RulerMenuListsPort() = default;
    virtual int FillLabelList(EditContext& window) = 0;
    virtual int FillRegionList(EditContext& window) = 0;
};

}  // namespace tova
