# The language modules of the full configuration, each bin/full/Tallyra32.TAG.dll
# made from one resource script over resource.h, FilesPageResources.h and
# engine/DescriptionIds.h:
#   tallyra_language_module(TAG LANGID SOURCE ENGLISH_NAME OWN_NAME)
# LANGID is the module's Windows language (its version resource says it, with
# OWN_NAME, the name the settings dialog lists it by). The built-in texts are
# Chinese (Simplified): the extension's own version resource says so.
set(TALLYRA_BUILT_IN_LANGUAGE 0x0804)
set(TALLYRA_BUILT_IN_LANGUAGE_NAME "中文(简体)")
tallyra_language_module(en 0x0409 English.rc "English" "English")
tallyra_language_module(ja 0x0411 languages/ja.rc "Japanese" "日本語")
tallyra_language_module(ko 0x0412 languages/ko.rc "Korean" "한국어")
tallyra_language_module(zh-TW 0x0404 languages/zh-TW.rc "Chinese (Traditional)" "中文(繁體)")
tallyra_language_module(de 0x0407 languages/de.rc "German" "Deutsch")
tallyra_language_module(fr 0x040C languages/fr.rc "French" "Français")
tallyra_language_module(es 0x0C0A languages/es.rc "Spanish" "Español")
tallyra_language_module(pt-BR 0x0416 languages/pt-BR.rc "Portuguese (Brazil)" "Português (Brasil)")
tallyra_language_module(ru 0x0419 languages/ru.rc "Russian" "Русский")
tallyra_language_module(it 0x0410 languages/it.rc "Italian" "Italiano")
