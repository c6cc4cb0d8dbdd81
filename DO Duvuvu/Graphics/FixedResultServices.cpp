#include "FixedResultServices.h"
#include "ResultCodes.h"

#include "FixedResults.h"
#include "PortDrawing.h"

namespace {

Handle ServiceColorTable(SInt16) { return NewCTableHandle(); }
OSErr NoPictureRead(const FileSpec*, PicHandle* outPicture) {
  if (outPicture) *outPicture = nullptr;
  return kErrFailed;
}
Rect* PictureFrame(PicHandle picture, Rect* out) { return GetPictureFrame(picture, out); }
void PictureDraw(PicHandle picture, const Rect* destination) { DrawPicture(picture, destination); }
OSErr NoResourceError() { return 0; }
Handle NoNamedResource(OSType, ConstStr255Param) { return nullptr; }

constexpr FixedResultServices kProduction = {AllocPalette,  ColorIndexToRGB, RGBToColorIndex, ServiceColorTable,
                                             NoPictureRead, PictureFrame,    PictureDraw,     NoResourceError,
                                             NoNamedResource};
FixedResultServices gServices = kProduction;

template <typename T>
void Keep(T& member, T fallback) {
  if (!member) member = fallback;
}

}  // namespace

const FixedResultServices& GetFixedResultServices() { return gServices; }

void SetFixedResultServices(const FixedResultServices* services) {
  gServices = services ? *services : kProduction;
  Keep(gServices.allocPalette, kProduction.allocPalette);
  Keep(gServices.colorIndexToRGB, kProduction.colorIndexToRGB);
  Keep(gServices.rgbToColorIndex, kProduction.rgbToColorIndex);
  Keep(gServices.getColorTable, kProduction.getColorTable);
  Keep(gServices.readPictureFile, kProduction.readPictureFile);
  Keep(gServices.getPictureFrame, kProduction.getPictureFrame);
  Keep(gServices.drawPicture, kProduction.drawPicture);
  Keep(gServices.resourceError, kProduction.resourceError);
  Keep(gServices.getNamedResource, kProduction.getNamedResource);
}
