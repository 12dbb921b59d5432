// Which application hosts the module: the illustration authoring application ("Limner")
// or the viewer. The reference host defaults to the viewer.
#pragma once

namespace oxk::illustration {

[[nodiscard]] bool IsRunningLimner();
void SetRunningLimner(bool running);

}  // namespace oxk::illustration
