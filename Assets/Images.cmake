# The single pictures, then the contact sheets that show every picture.
set(asset_image_dir "${CMAKE_CURRENT_SOURCE_DIR}/Images")

duvuvu_asset_generator(make_asset_game_images
  SOURCES "${asset_image_dir}/MakeGameImages.cpp" "${asset_image_dir}/Bosses.cpp"
  OUTPUTS "Resources/Background.png" "Resources/Cursor.png" "Resources/Graphics/Pixel.png"
          "Resources/Graphics/Spark.png" "Resources/Graphics/Shockwave.png" "Resources/Graphics/Boomerang.png"
          "Resources/Graphics/Blimp.png" "Resources/Graphics/Loading.png")

duvuvu_asset_generator(make_asset_interface_images
  SOURCES "${asset_image_dir}/MakeInterfaceImages.cpp"
  OUTPUTS "Resources/Graphics/Interface/Radio Off.png" "Resources/Graphics/Interface/Radio On.png"
          "Resources/Graphics/Interface/Volume.png" "Resources/Graphics/Interface/Pause.png"
          "Resources/Graphics/Interface/Exit.png"
          "Resources/Graphics/Interface/Buttons/Play.png" "Resources/Graphics/Interface/Buttons/Help.png"
          "Resources/Graphics/Interface/Buttons/Sound.png" "Resources/Graphics/Interface/Buttons/Music.png"
          "Resources/Graphics/Interface/Buttons/Quit.png" "Resources/Graphics/Interface/Buttons/Clear.png"
          "Resources/MacPC/FullScreen.png" "Resources/MacPC/Fade.png" "Resources/MacPC/PressFire.png"
          "Resources/MacPC/StatusBar 1.png" "Resources/MacPC/StatusBar 2.png" "Resources/MacPC/Text Field.png"
          "Resources/MacPC/Field Hilite.png" "Resources/MacPC/InputScreen.png" "Resources/MacPC/OK.png"
          "Resources/MacPC/Cancel.png" "Resources/MacPC/HighScores.png" "Resources/MacPC/Key Border.png")

duvuvu_asset_generator(make_asset_screen_images
  SOURCES "${asset_image_dir}/MakeScreenImages.cpp"
  OUTPUTS "Resources/MacPC/QVLogo.png" "Resources/MacPC/About-Shadow.png" "Resources/Title/Title.png"
          "Resources/Title/Background.png" "Resources/Main/Main.png" "Resources/Main/Nebula.png"
          "Resources/Pause/PauseBox.png" "Resources/Pause/Resume.png" "Resources/Pause/Abort.png"
          "Resources/Help/Help Screen.png" "Resources/Help/Next.png" "Resources/Help/Prev.png"
          "Resources/Help/Done.png" "Resources/Help/Email.png")

# These show the game's own sprites, so they read the sheets and bosses made above.
duvuvu_asset_generator(make_asset_help_pages WAVE 2
  SOURCES "${asset_image_dir}/MakeHelpPages.cpp"
  OUTPUTS "Resources/Help/Help 1.png" "Resources/Help/Help 2.png" "Resources/Help/Help 3.png"
          "Resources/Help/Help 4.png" "Resources/MacPC/About.png")
set(help_page_inputs "")
foreach(input "Graphics/Zadados.png" "Layouts/Zadados" "Graphics/Sprites.png" "Layouts/Sprites"
        "Graphics/Enemies.png" "Layouts/Enemies" "Graphics/Blimp.png" "Graphics/Boomerang.png" "MacPC/FullScreen.png")
  list(APPEND help_page_inputs "${DUVUVU_ASSET_CONTENTS_DIR}/Resources/${input}")
endforeach()
add_custom_command(OUTPUT "${DUVUVU_ASSET_CONTENTS_DIR}/Resources/Help/Help 1.png" APPEND DEPENDS ${help_page_inputs})

# The contact sheets read every picture, so they come after every other generator.
duvuvu_asset_generator(make_asset_contact_sheets WAVE 3
  SOURCES "${asset_image_dir}/MakeContactSheets.cpp"
  REVIEW "Contact Sheet Layout Zadados.png" "Contact Sheet Layout Sprites.png" "Contact Sheet Layout Enemies.png"
         "Contact Sheet Game.png" "Contact Sheet Interface.png" "Contact Sheet MacPC.png"
         "Contact Sheet Screens.png" "Contact Sheet Help.png")
get_property(contact_sheet_inputs GLOBAL PROPERTY DUVUVU_ASSET_OUTPUTS)
list(FILTER contact_sheet_inputs INCLUDE REGEX "/Resources/(.*\\.png|Layouts/.*)$")
add_custom_command(OUTPUT "${DUVUVU_ASSET_REVIEW_DIR}/Contact Sheet Layout Zadados.png"
                   APPEND DEPENDS ${contact_sheet_inputs})
