#pragma once
// What the circle diagram shows for the study on show: the item's steps or pattern, the II–V–I scales, the
// colours, and where the play marker goes for every note.

#include "app/study_session.h"
#include "views/circle_view.h"

namespace orbel {

// The content for item of study (built into its sequence) on a diagram with the given points.
CircleContent CircleContentFor(const StudyState& study, int item, const CircleGeometry& points);

} // namespace orbel
