# Sound effects and music loops, Ogg Vorbis through libvorbisenc.
pkg_check_modules(VORBISENC REQUIRED IMPORTED_TARGET vorbisenc vorbis ogg)

file(GLOB asset_sound_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/Sound/*.cpp")
add_library(asset_sound STATIC ${asset_sound_sources})
target_include_directories(asset_sound PUBLIC "${CMAKE_CURRENT_SOURCE_DIR}")
# Optimised in every build type (the DSP is heavy unoptimised); with no fused
# multiply-adds the samples are the same in every build.
target_compile_options(asset_sound PRIVATE ${DUVUVU_WARNINGS} -O2 PUBLIC -ffp-contract=off -fno-fast-math)
target_link_libraries(asset_sound PUBLIC PkgConfig::VORBISENC)

set(asset_effect_names
  Blip Dink Tone Alarm Metal0 Metal1 Shot0 Shot2 Shot1 Boom0 Boom1 Bump Spin Shield Tap Suck Engine Power
  Bounce Pod Flip Super Intro_Mono)
set(asset_effect_outputs "")
foreach(name IN LISTS asset_effect_names)
  list(APPEND asset_effect_outputs "Resources/Audio/${name}.ogg")
endforeach()
duvuvu_asset_generator(make_asset_sounds
  SOURCES "${CMAKE_CURRENT_SOURCE_DIR}/MakeSounds.cpp"
  OUTPUTS ${asset_effect_outputs}
  LIBS asset_sound)

set(asset_music_outputs "")
foreach(name Title Main Game Boss)
  list(APPEND asset_music_outputs "Resources/Music/${name}.ogg")
endforeach()
duvuvu_asset_generator(make_asset_music
  SOURCES "${CMAKE_CURRENT_SOURCE_DIR}/MakeMusic.cpp"
  OUTPUTS ${asset_music_outputs}
  LIBS asset_sound)
