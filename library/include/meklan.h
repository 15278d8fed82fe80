/*
 * meklan.h - the MEKLAN library: Japan's telephone charging areas (MA) as of 2003/12/01.
 *
 * This header is the whole public interface of libmeklan.so (and of meklan.dll, the same
 * library for Windows) and its reference manual.
 * All texts crossing it are NUL-terminated CP932 (Shift-JIS) byte strings, compared byte by
 * byte. All integers are 32-bit. Record layouts are part of the interface: fields stay in
 * this order and every field is a 32-bit integer, a pointer or a fixed char array.
 *
 * The sixteen exports answer from the tables of 2003/12/01; the MEKLAN_Edition* functions
 * reach the same tables or a current edition, naming the edition in every call.
 *
 * The tables returned by address (MEKLAN_GetMKMA, MEKLAN_GetAddress) are constant data of
 * the library: read them in place, never write or free them; they stay valid while the
 * library is loaded.
 */
#ifndef MEKLAN_H
#define MEKLAN_H

#ifndef RC_INVOKED /* a resource script (meklan.dll's version resource) reads only macros */
#include <stdint.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * MEKLAN_API marks an export. On Windows the list of exports is the library's .def file, and
 * a caller imports through meklan.dll's import library; elsewhere an export is a symbol of
 * default visibility in a library built with hidden ones.
 *
 * MEKLAN_CALL is the calling convention of every export and of pointers to them. On Windows
 * it is __stdcall (WINAPI), the convention of the system's own DLLs and the one that a
 * Visual Basic `Declare`, a Delphi `stdcall` external and a C `WINAPI` function pointer
 * expect: the callee removes its arguments, and the 32-bit DLL exports each function by its
 * plain name (no leading underscore, no "@n" suffix). On 64-bit Windows the keyword names
 * the one calling convention there is. Elsewhere it is empty: the platform's C convention.
 */
#if defined(_WIN32)
#define MEKLAN_CALL __stdcall
#if defined(MEKLAN_BUILDING_LIBRARY)
#define MEKLAN_API
#else
#define MEKLAN_API __declspec(dllimport)
#endif
#else
#define MEKLAN_CALL
#if defined(MEKLAN_BUILDING_LIBRARY)
#define MEKLAN_API __attribute__((visibility("default")))
#else
#define MEKLAN_API
#endif
#endif

/* Version of this library and of the data it carries. */
#define MEKLAN_VERSION_TEXT "3.19(2003/12/17)" /* MEKLAN_GetVersion */
#define MEKLAN_VERSION_NUMBER 3190             /* MEKLAN_GetVersionX: version x 1000 */
#define MEKLAN_VERSION_COMPATI 3000            /* MEKLAN_GetVersionCompati */
#define MEKLAN_DATA_DATE "2003/12/01"          /* MEKLAN_GetDayData */
#define MEKLAN_VERSION_MAJOR 3
#define MEKLAN_VERSION_MINOR 19
#define MEKLAN_VERSION_PATCH 0

/* Buffer sizes callers pass (bytes, terminating NUL included). */
#define MEKLAN_VERSION_SIZE 17   /* MEKLAN_GetVersion */
#define MEKLAN_DAYDATA_SIZE 11   /* MEKLAN_GetDayData */
#define MEKLAN_MALIST_SIZE 4096  /* MEKLAN_GetMA: the list is never longer */
#define MEKLAN_AREACODE_SIZE 256 /* MEKLAN_GetAreaCode */
#define MEKLAN_AREAPLUS_SIZE 1024 /* MEKLAN_GetAreaPlus; the longest listing needs 364 */
#define MEKLAN_KEY_MAX 255       /* keys are read up to this many bytes */

#ifndef RC_INVOKED
/* One MA record: one combination of an MA and a number range. */
typedef struct MKMA {
  const char *maName;     /* MA name in kanji, at most 10 bytes */
  int32_t branch;         /* 0..7; (maName, branch) identifies the record */
  const char *maKana;     /* reading in hiragana, at most 18 bytes */
  int32_t posNS;          /* grid point, north-south (larger = further north) */
  int32_t posEW;          /* grid point, east-west (larger = further east) */
  int32_t areaCode;       /* area code without its trunk 0: 166 stands for 0166 */
  const char *prefixList; /* "/" "*" "/" for all numbers, or local prefixes "/1/5/6/" */
  int32_t prefNo;         /* 1..47 into the prefecture table; 51..55 = Hokkaido */
  int32_t regionCode;     /* four-digit region code; (x % 1000) / 100 == 0 marks Okinawa */
} MKMA;

/* One local government, or one part of one that another MA serves. */
typedef struct MKADDRESS {
  const char *dantaiCode; /* five-digit local-government code, "01101" */
  const char *maName;     /* the serving MA */
  int32_t branch;         /* branch of that MA record */
  const char *prefName;   /* prefecture, spelled as in the prefecture table */
  const char *cityName;   /* city, ward, town or village (with its county) */
  const char *townName;   /* the part of the city this record covers, or "" */
  const char *chomeNote;  /* which chome of townName, in words, or "" */
} MKADDRESS;

/* Request and result of MEKLAN_GetDistance / MEKLAN_GetDistanceWithDialog. */
typedef struct MKDISTANCE {
  char fromName[32];     /* in: calling end (name, reading, area code or number); out: MA name */
  char toName[32];       /* in/out: called end, likewise */
  int32_t kind;          /* 0 ordinary, 1 adjacent pair, 2 adjacent by distance, 4 island rule */
  int32_t distance;      /* straight-line km between the reference points */
  int32_t chargeDistance;/* km used for charging */
  int32_t nttNo;         /* 0 within one eastern prefecture, 1 within one western, 2 across */
  char fromAreaCode[11]; /* "0" + areaCode of the calling MA */
  char toAreaCode[11];
  char fromPrefName[16]; /* prefecture name of the calling MA */
  char toPrefName[16];
  MKMA fromMa;           /* copy of the calling MA's record */
  MKMA toMa;
} MKDISTANCE;

/* --- Information -------------------------------------------------------------------- */

/* Copies "3.19(2003/12/17)" into out (MEKLAN_VERSION_SIZE bytes) and returns out. */
MEKLAN_API char *MEKLAN_CALL MEKLAN_GetVersion(char *out);
/* 3190. */
MEKLAN_API int MEKLAN_CALL MEKLAN_GetVersionX(void);
/* 3000: a caller built for interface version V may use the library when this is <= V. */
MEKLAN_API int MEKLAN_CALL MEKLAN_GetVersionCompati(void);
/* Copies "2003/12/01" into out (MEKLAN_DAYDATA_SIZE bytes) and returns out. */
MEKLAN_API char *MEKLAN_CALL MEKLAN_GetDayData(char *out);

/* --- Tables ------------------------------------------------------------------------- */

/* Number of MA records and the address of the first (read-only, table order). */
MEKLAN_API int MEKLAN_CALL MEKLAN_GetNumOfMKMA(void);
MEKLAN_API const MKMA *MEKLAN_CALL MEKLAN_GetMKMA(void);
/* Number of address records and the address of the first (read-only, by dantaiCode). */
MEKLAN_API int MEKLAN_CALL MEKLAN_GetNumOfAddress(void);
MEKLAN_API const MKADDRESS *MEKLAN_CALL MEKLAN_GetAddress(void);

/*
 * Copies every address record of prefecture prefName (and, when cityName is not null,
 * of that city) into a block allocated by the library, stores its address in *list and
 * returns the number of records (0 with *list = NULL when nothing matches or prefName is
 * NULL). Returns -1, *list untouched, when memory runs out. Free the block with
 * MEKLAN_MemFree only. `reserved` is not read. With list NULL only the count is returned.
 */
MEKLAN_API int MEKLAN_CALL MEKLAN_GetAddressAreaList(const char *prefName, const char *cityName, int reserved,
                                         MKADDRESS **list);
/* Releases a block of MEKLAN_GetAddressAreaList; NULL does nothing. */
MEKLAN_API void MEKLAN_CALL MEKLAN_MemFree(void *block);

/* Carrier class of two prefNo values: 0 same eastern prefecture, 1 same western, 2 across. */
MEKLAN_API int MEKLAN_CALL MEKLAN_GetNumOfNTT(int prefNoA, int prefNoB);

/* --- Lookups ------------------------------------------------------------------------ */

/*
 * Lists the MAs a typed number, name or reading belongs to: names each followed by "$",
 * in table order, possibly repeated ("厚岸$中標津$根室$根室標津$"); "" when nothing
 * matches. The key "0" lists every MA. prefIndex -1 passes every prefecture, otherwise the
 * 0-based index into the prefecture table (0 = Hokkaido). The key is read up to
 * MEKLAN_KEY_MAX bytes; out must hold MEKLAN_MALIST_SIZE bytes and is never written past
 * that (a list that would not fit ends after its last whole name). Returns 1.
 */
MEKLAN_API int MEKLAN_CALL MEKLAN_GetMA(const char *key, char *out, int prefIndex);

/*
 * Writes the area codes of the MA that key names (name, reading, area code, or area code
 * with one prefix), e.g. "0153-[1,5,6]" or "0133-[1,6]、01337、013379", into out
 * (MEKLAN_AREACODE_SIZE bytes). branch -1 takes every record of the MA, otherwise only that
 * branch. Returns 1, or 0 with out untouched when the key names no MA.
 */
MEKLAN_API int MEKLAN_CALL MEKLAN_GetAreaCode(const char *key, char *out, int branch);

/* --- Distance ----------------------------------------------------------------------- */

/*
 * Resolves rec->fromName and rec->toName to MAs and fills every other field of rec.
 * Each end is an MA name, reading, area code, or a number; a number that names nothing
 * is retried on its shorter beginnings (0166234567 finds 旭川 through 0166). Each name is
 * read up to its 32 bytes even without a NUL; a leading number above 2147483647 is not
 * shortened. On success fromName and toName hold the MA names. Returns 1, or 0 with rec
 * untouched when an end cannot be resolved.
 */
MEKLAN_API int MEKLAN_CALL MEKLAN_GetDistance(MKDISTANCE *rec);

/*
 * Writes the adjacent (and island-rule) MAs of the MA that text names (name, reading, area
 * code, or area code with one prefix; no shortening), ready to show, CRLF line ends:
 * a header line, then one line per MA, "名護      （0980-[1,4,5]）", with every area code
 * of that MA; the island-rule MAs follow under a second header after an empty line.
 * out must hold MEKLAN_AREAPLUS_SIZE bytes and is never written past that (every listing
 * of the built-in data fits; one that would not ends after its last whole line). Earlier
 * contents of out are replaced. Returns 1, or 0 with out untouched when text names no MA.
 */
MEKLAN_API int MEKLAN_CALL MEKLAN_GetAreaPlus(const char *text, char *out);

/*
 * Runs the library's modal distance dialog (caption "MEKLAN"): two edits for the ends,
 * each with a list of the MAs its text may name, and 距離算出 to compute. rec->fromName and
 * rec->toName are the edits' initial texts (empty allowed). An end that names no MA gives
 * the box "該当ありません" and the dialog stays open; the first success closes it, with
 * rec holding the whole result of MEKLAN_GetDistance. When showMessage is 1 the result is
 * shown first in a box, one of
 *   "旭川(0166) から 旭川(0166) までは 同一区域内です"             kind 0, distance 0
 *   "東京(03) から 大阪(06) までは 407kmです"                      kind 0
 *   "旭川(0166) から 上川(01658) までは 隣接区域内です ※エリアプラス適用可"   kind 1 or 2
 *   "江差(01395) から 奥尻(01397) までは 60kmです ※離島特例対象 (ISDNデジタルモードは60km)"
 *                                                                  kind 4
 * In the island message the second figure, the distance for ISDN digital mode, is
 * rec->distance: the remote-island rule does not cover digital-mode calls, which are
 * charged by the ordinary distance of the pair (every island pair of the built-in data is
 * more than 20 km apart, in no adjacent pair and outside Okinawa).
 *
 * Returns -1 when the user cancels (CANCEL, Escape, close box); otherwise, for kind 0
 * rec->distance (0 for the same MA), for kinds 1, 2 and 4 rec->chargeDistance. After a
 * cancel rec holds the texts of the last attempt, if any.
 *
 * The dialog lives in the module libmeklan-dialog.so (Qt 6 Widgets), loaded on first use
 * from the directory of libmeklan.so or its subdirectory meklan/ (as the system package
 * installs it); the library itself needs no GUI toolkit. owner is a
 * live QWidget * of the caller's QApplication, or NULL. For a caller without a QApplication
 * the module makes one for the dialog's lifetime and then restores the process locale,
 * which Qt sets from the environment. Also -1, without
 * showing anything: rec is NULL, the module is missing, no display can be reached, the
 * caller's application is a QCoreApplication or lives on another thread, owner is not a
 * live widget, or another distance dialog is open in the process (one at a time).
 *
 * In meklan.dll (Windows) the dialog is a Win32 dialog of the DLL itself, built from the same
 * template, and owner is the caller's window (HWND) or NULL; the dialog runs modally on the
 * calling thread. -1 without showing anything: rec is NULL, owner is not a window, the
 * dialog cannot be created, or another distance dialog is open in the process.
 */
MEKLAN_API int MEKLAN_CALL MEKLAN_GetDistanceWithDialog(void *owner, MKDISTANCE *rec, int showMessage);

/* --- Editions ----------------------------------------------------------------------- */

/*
 * The sixteen exports above answer from the tables of 2003/12/01. The functions below name
 * their edition in every call (no setting, no state): MEKLAN_EDITION_2003, the same tables,
 * or MEKLAN_EDITION_CURRENT, the MAs and municipalities of today's public lists (MA records
 * in the same layout; MKADDRESS.townName holds the published wording of a part, e.g.
 * "富野を除く。", and chomeNote is ""). An unknown edition gives 0, NULL or -1 as stated.
 *
 * The tariff - distances, adjacent and island pairs, area plus, the special areas - stays
 * 2003-only: MEKLAN_GetDistance, MEKLAN_GetAreaPlus and the dialog know no other edition.
 *
 * Text results go into caller-sized buffers: out of size bytes receives as many whole
 * pieces (names, area-code entries) as fit, NUL-terminated, and the function returns the
 * bytes the whole text needs (NUL included), so a caller may retry with that size.
 */
#define MEKLAN_EDITION_2003 0
#define MEKLAN_EDITION_CURRENT 1

/* Copies the edition's data date ("2003/12/01") into out (MEKLAN_DAYDATA_SIZE bytes);
 * returns 1, or 0 for an unknown edition or a NULL out (nothing copied). */
MEKLAN_API int MEKLAN_CALL MEKLAN_EditionGetDayData(int edition, char *out);
/* The edition's MA table and address table (read-only, like MEKLAN_GetMKMA). */
MEKLAN_API int MEKLAN_CALL MEKLAN_EditionGetNumOfMKMA(int edition);
MEKLAN_API const MKMA *MEKLAN_CALL MEKLAN_EditionGetMKMA(int edition);
MEKLAN_API int MEKLAN_CALL MEKLAN_EditionGetNumOfAddress(int edition);
MEKLAN_API const MKADDRESS *MEKLAN_CALL MEKLAN_EditionGetAddress(int edition);

/* MEKLAN_GetMA over the edition: the list "名前$名前$" into out[size]; returns the size the
 * whole list needs (1 for an empty list), 0 for an unknown edition. */
MEKLAN_API int MEKLAN_CALL MEKLAN_EditionGetMA(int edition, const char *key, int prefIndex, char *out, int size);
/* MEKLAN_GetAreaCode over the edition, into out[size]; returns the size the whole text
 * needs, or 0 (out untouched) when key names no MA or the edition is unknown. */
MEKLAN_API int MEKLAN_CALL MEKLAN_EditionGetAreaCode(int edition, const char *key, int branch, char *out, int size);

/* How a postal row met the address table (MKJOIN.how). */
#define MEKLAN_JOIN_NONE 0       /* the code is not in the table, or no part names the town */
#define MEKLAN_JOIN_WHOLE 1      /* one MA serves the whole local government */
#define MEKLAN_JOIN_PART 2       /* the town lies in one part of a divided local government */
#define MEKLAN_JOIN_STRADDLING 3 /* the row spans parts served by several MAs (chome or towns
                                    the postal file does not tell apart): all of them */
#define MEKLAN_JOIN_CATCH_ALL 4  /* the row "以下に掲載がない場合": the MAs of the parts
                                    written as "…を除く。" (2003: the rest) and of the parts
                                    naming a town the postal file does not list, else every MA */
#define MEKLAN_JOIN_MAX 8        /* no local government has more MAs */

/* The MAs serving one postal row. */
typedef struct MKJOIN {
  int32_t how;                      /* MEKLAN_JOIN_* */
  int32_t count;                    /* serving MA records, 0..MEKLAN_JOIN_MAX */
  int32_t maIndex[MEKLAN_JOIN_MAX]; /* into MEKLAN_EditionGetMKMA(edition), first count used */
  char maNames[128];                /* "天竜" or "浜松/天竜": names joined by "/", each once */
  char areaCodes[512];              /* "0539-[1,60～63,74,77,9]": the serving records'
                                       area codes, joined by "/" in the same order */
} MKJOIN;

/*
 * The join: the MAs serving a postal row of local government dantaiCode ("22140") whose
 * town field is town, as KEN_ALL.CSV writes it ("石神", "大通西（１～１９丁目）",
 * "以下に掲載がない場合"). street may carry a JIGYOSYO address ("２丁目３－４", "2丁目",
 * "二丁目") whose chome decides where the town field does not; NULL when there is none.
 * Town names are matched whole, letters the two lists write in two ways alike (ヶ and ケ,
 * 館 and 舘, ...), and a JIGYOSYO town's leading 大字 or 字 is not part of its name; a name
 * of a former municipality ("安富町", "安塚区") also covers the towns written under it
 * ("安富町安志"), and a town a part names without the former municipality the postal file
 * writes before it ("秋月" for "土成町秋月") is that town. Fills every field
 * of *result and returns result->count (0 when nothing serves the row), or -1 when result is
 * NULL or the edition is unknown.
 */
MEKLAN_API int MEKLAN_CALL MEKLAN_EditionJoin(int edition, const char *dantaiCode, const char *town,
                                  const char *street, MKJOIN *result);

#endif /* RC_INVOKED */

#ifdef __cplusplus
}
#endif

#endif /* MEKLAN_H */
