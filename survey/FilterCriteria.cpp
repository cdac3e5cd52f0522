#include "survey/FilterCriteria.h"

namespace lumetra {

const std::array<CategoryBox, 14> kCategoryBoxes = {{
    {"Manual", BoxGroup::kProgram, &CategoryBoxes::cb_Manual, {LabelId::LabelManual}},
    {"Aperture", BoxGroup::kProgram, &CategoryBoxes::cb_Aperture, {LabelId::LabelAperturePriority}},
    {"Shutter", BoxGroup::kProgram, &CategoryBoxes::cb_Shutter, {LabelId::LabelShutterPriority}},
    {"Normal", BoxGroup::kProgram, &CategoryBoxes::cb_Normal, {LabelId::LabelNormal}},
    {"Action", BoxGroup::kProgram, &CategoryBoxes::cb_Action, {LabelId::LabelSport}},
    {"Portrait", BoxGroup::kProgram, &CategoryBoxes::cb_Portrait, {LabelId::LabelPortrait}},
    {"Landscape", BoxGroup::kProgram, &CategoryBoxes::cb_Landscape, {LabelId::LabelLandscape}},
    {"OtherP", BoxGroup::kProgram, &CategoryBoxes::cb_OtherP, {LabelId::LabelCreative, LabelId::NotDeterminedM}},
    {"Average", BoxGroup::kMetering, &CategoryBoxes::cb_Average, {LabelId::LabelAverage}},
    {"Spot", BoxGroup::kMetering, &CategoryBoxes::cb_Spot, {LabelId::LabelSpot}},
    {"Partial", BoxGroup::kMetering, &CategoryBoxes::cb_Partial, {LabelId::LabelPartial}},
    {"Multi_Segment", BoxGroup::kMetering, &CategoryBoxes::cb_Multi_Segment, {LabelId::LabelMultiSegment}},
    {"Multi_Spot", BoxGroup::kMetering, &CategoryBoxes::cb_Multi_Spot, {LabelId::LabelMultiSpot}},
    {"OtherE", BoxGroup::kMetering, &CategoryBoxes::cb_OtherE, {LabelId::NotDeterminedM}},
}};

}  // namespace lumetra
