// String-table identifiers of the algorithms' descriptions: the engine asks
// its bound texts (IHashTexts) for them, and each configuration's string
// table holds those of the algorithms it registers. Only #define lines: the
// .rc files include it too.
#pragma once

#define IDS_DESCRIPTION_MD5 111
#define IDS_DESCRIPTION_RIPEMD320 112
#define IDS_DESCRIPTION_RIPEMD256 113
#define IDS_DESCRIPTION_RIPEMD128 114
#define IDS_DESCRIPTION_WHIRLPOOL 115
#define IDS_DESCRIPTION_SHA1 116
#define IDS_DESCRIPTION_SHA512 117
#define IDS_DESCRIPTION_HAVAL 118
#define IDS_DESCRIPTION_TIGER 119
#define IDS_DESCRIPTION_CRC32 120
// MD2 and MD4 answer fixed texts; 122 and 124 are in the full string table
// for language modules.
#define IDS_DESCRIPTION_MD4 122
#define IDS_DESCRIPTION_MD2 124
#define IDS_DESCRIPTION_SHA256 136
#define IDS_DESCRIPTION_SHA384 137
#define IDS_DESCRIPTION_ADLER32 138
// The algorithms that only the full configuration offers.
#define IDS_DESCRIPTION_CRC32C 140
#define IDS_DESCRIPTION_CRC64 141
#define IDS_DESCRIPTION_SHA3_224 142
#define IDS_DESCRIPTION_SHA3_256 143
#define IDS_DESCRIPTION_SHA3_384 144
#define IDS_DESCRIPTION_SHA3_512 145
#define IDS_DESCRIPTION_BLAKE2B 146
#define IDS_DESCRIPTION_BLAKE2S 147
#define IDS_DESCRIPTION_BLAKE3 148
#define IDS_DESCRIPTION_XXH64 149
#define IDS_DESCRIPTION_XXH3 150
#define IDS_DESCRIPTION_XXH128 151
