#pragma once

namespace ovira {

// What a capture screen photographs, and so which window its overlay cuts
// and which camera it uses: `card` (documents: card-shaped window, rear
// camera) or `face` (circular window, front camera).
enum class EKYCCameraType { card, face };

}  // namespace ovira
