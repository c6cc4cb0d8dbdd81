// The three layout sheets ("Zadados", "Sprites", "Enemies") and their layouts,
// with review pages of each.
#include "Sheets.h"

int main(int argc, char** argv) {
  const art::GeneratorArgs args = art::ParseGeneratorArgs(argc, argv);
  const FT_Face face = art::LoadFace(args.firstFace.c_str());
  struct Output {
    const char* name;
    sheets::Sheet sheet;
  };
  Output outputs[] = {
      {"Zadados", sheets::GridSheet(sheets::DrawZadados(), 6)},
      {"Sprites", sheets::PackSheet(sheets::DrawSpriteSets(), 512)},
      {"Enemies", sheets::PackSheet(sheets::DrawEnemySets(face), 512)},
  };
  for (const Output& out : outputs) {
    art::SavePNG(out.sheet.picture, args.Resource(std::string("Graphics/") + out.name + ".png"));
    sheets::WriteLayout(out.sheet, args.Resource(std::string("Layouts/") + out.name));
    art::SavePNG(sheets::ReviewPage(out.sheet, face), args.Review(std::string("Sheet ") + out.name + ".png"));
  }
  return 0;
}
