// Frozen: the names library files and folders have on disk and the element and
// attribute names of the library file format. Saved libraries depend on every one.
// Element names are interned once, so the reader compares them by address.
#pragma once

#include "orrinsymbols/util/Symbol.h"

namespace oxsymbols::names {

// Folders and files.
inline constexpr const char* kLibraryFolder = "SymbolsLibrary";
inline constexpr const char* kStandardPrefix = "SymbolsLibrary/standard";
inline constexpr const char* kSharedSuffix = "/SymbolsLibrary";
inline constexpr const char* kStandardFolder = "standard";
inline constexpr const char* kImageFolder = "2D";
inline constexpr const char* kShapeFolder = "Shape";
inline constexpr const char* kLibraryFile = "PartSymbolLibrary.xml";
inline constexpr const char* kLibraryBaseName = "PartSymbolLibrary";
inline constexpr const char* kLibraryExtension = "xml";
// Thumbnail size markers: the dialog's large thumbnail is named like the small one.
inline constexpr const char* kSmallThumbnail = "64x64";
inline constexpr const char* kLargeThumbnail = "192x192";

// The declaration every library file starts with; a source that starts with its first
// six bytes is a document, not a path.
inline constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
inline constexpr const char* kDeclarationStart = "<?xml ";

// Elements.
inline const util::Symbol kRoot("orbis-library");
inline const util::Symbol kUnits("units");
inline const util::Symbol kInformation("information");
inline const util::Symbol kCategories("categories");
inline const util::Symbol kShapes("shapes");
inline const util::Symbol kSymbols("symbols");
inline const util::Symbol kCategory("category");
inline const util::Symbol kShape("shape");
inline const util::Symbol kSymbol("symbol");
inline const util::Symbol kName("name");
inline const util::Symbol kTitle("title");
inline const util::Symbol kTooltip("tooltip");
inline const util::Symbol kDescription("description");
inline const util::Symbol kShowTooltipTitle("showTooltipTitle");
inline const util::Symbol kShowTooltipDescription("showTooltipDescription");
inline const util::Symbol kGalleryThumbnail("gallery_thumbnail");
inline const util::Symbol kGraphic("graphic");
inline const util::Symbol kImage("image");
inline const util::Symbol kScale("scale");
inline const util::Symbol kOrientation("orientation");
inline const util::Symbol kShapeCsys("shape_csys");
inline const util::Symbol kOrientationName("orientation_name");
inline const util::Symbol kAxisName("axis_name");
inline const util::Symbol kDistanceFromCsys("distance_from_csys");
inline const util::Symbol kAxisId("axis_id");
inline const util::Symbol kAnnotationToSymbol("annotation_to_symbol");
inline const util::Symbol kUseCurrentOrientation("use_current_orientation");
inline const util::Symbol kEditCsysMethod("edit_csys_method");
inline const util::Symbol kTags("tags");
inline const util::Symbol kTag("tag");
inline const util::Symbol kQuantity("quantity");
inline const util::Symbol kCamera("camera");
inline const util::Symbol kFlip("flip");
inline const util::Symbol kRotate("rotate");

// Attributes.
inline constexpr const char* kId = "id";
inline constexpr const char* kCategoryId = "categoryId";
inline constexpr const char* kBillboard = "billboard";
inline constexpr const char* kUrl = "url";
inline constexpr const char* kLocId = "locid";
inline constexpr const char* kType = "type";
inline constexpr const char* kUnit = "unit";
inline constexpr const char* kHorizontal = "horizontal";
inline constexpr const char* kVertical = "vertical";
inline constexpr const char* kRight = "right";
inline constexpr const char* kLeft = "left";
inline constexpr const char* kOrtho = "ortho";
inline constexpr const char* kValue = "value";
inline constexpr const char* kLocation = "location";
inline constexpr const char* kCsysMatrix[9] = {"a", "b", "c", "d", "e", "f", "g", "h", "i"};
inline constexpr const char* kPosX = "pos_x";
inline constexpr const char* kPosY = "pos_y";
inline constexpr const char* kPosZ = "pos_z";

}  // namespace oxsymbols::names
