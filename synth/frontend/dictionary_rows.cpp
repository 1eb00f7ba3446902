// The built-in pronunciation rows in order of application. Numbers in the comments count the
// 120 rows of the table; the two rows marked "+" are this system's own additions for common
// Czech abbreviations. Rows act in lower case (the list is lower-cased as a whole, so "TV "
// acts as "tv " and rows 13 and 22 end up the same).
#include "synth/frontend/dictionary_rows.h"

namespace kv::frontend {

// clang-format off
const std::array<std::string_view, 122> kBuiltInRows = {
    "chip=čip",                     //   1
    "@=zavináč",                    //   2
    "vdm=vé dé em",                 //   3
    "atd=a tak dále",               //   + "atd." keeps its period for intonation
    "coda=koda",                    //   4
    "čp=čé pé",                     //   5
    "č.p.=čé pé",                   //   6
    "x=ks",                         //   7
    "gprs=džípíeres",               //   8
    "hscsd=háescéesdé",             //   9
    "ericsson=erikson",             //  10
    "čr =čé er",                    //  11
    "cs =cé es",                    //  12
    "kč=Ká čé",                     //  13
    "TV =týví",                     //  14
    "zn.=značka",                   //  15
    " nt =en tý",                   //  16
    "softwar=Softwér",              //  17
    "fvs=fakturace vodné a stočné", //  18
    "microsoft=Majkrosoft",         //  19
    "windows=Windous",              //  20
    "voice=vois",                   //  21
    "kč=ká čé",                     //  22
    "tzv.=takzv.",                  //  23
    "dx=dé iks",                    //  24
    "%=procent",                    //  25
    "mb =mega bajtu",               //  26
    "dph=dépéhá",                   //  27
    "speech=spíč",                  //  28
    "engine=Endžin",                //  29
    "computer=kompjůter",           //  30
    "enterprise=entrprajs",         //  31
    "např.=například",              //   + mid-sentence, so its period is dropped
    "client=klient",                //  32
    "server=servr",                 //  33
    "peer=pír",                     //  34
    "local=lokál",                  //  35
    "sql=es kvé el",                //  36
    "oracle=orákl",                 //  37
    "www=vévévé",                   //  38
    "http=hátétépé",                //  39
    ".cz=.cézet",                   //  40
    "sbd=es bé dé",                 //  41
    "pbh=pé bé há",                 //  42
    "s.r.o.=es er ó",               //  43
    "s.p.=es pé",                   //  44
    "technic=technyc",              //  45
    "statistik=statystyk",          //  46
    "anti =anty ",                  //  47
    "ia=ya",                        //  48
    "ie=ye",                        //  49
    "io=yo",                        //  50
    "iu=yu",                        //  51
    "ist=yst",                      //  52
    "ism=ysm",                      //  53
    "ibil=ybil",                    //  54
    "if=yf",                        //  55
    "dig=dyg",                      //  56
    "dich=dych",                    //  57
    "dik=dyk",                      //  58
    "edit=edyt",                    //  59
    "ini=iny",                      //  60
    "inyc=inic",                    //  61
    "nick=nyck",                    //  62
    "atik=atyk",                    //  63
    "etik=etyk",                    //  64
    "itik=ytyk",                    //  65
    "otik=otyk",                    //  66
    "utik=utyk",                    //  67
    "anik=anyk",                    //  68
    "enik=enyk",                    //  69
    "inik=ynyk",                    //  70
    "onik=onyk",                    //  71
    "unik=unyk",                    //  72
    "adik=adyk",                    //  73
    "edik=edyk",                    //  74
    "idik=ydyk",                    //  75
    "odik=odyk",                    //  76
    "udik=udyk",                    //  77
    "tiv=tyv",                      //  78
    "tir=tyr",                      //  79
    "ph=f",                         //  80
    "tiz=tyz",                      //  81
    "tick=tyck",                    //  82
    "tip=typ",                      //  83
    "ia=ija",                       //  84
    "engin=enžin",                  //  85
    "czech=ček",                    //  86
    "speed=spíd",                   //  87
    "control=kontrol",              //  88
    "odinsta=od insta",             //  89
    "cs-voice=cées vois",           //  90
    "tts=týtýes",                   //  91
    "free=frý",                     //  92
    "back=bek",                     //  93
    "space=spejs",                  //  94
    "delete=dylít",                 //  95
    "home=houm",                    //  96
    "shift=šift",                   //  97
    "caps=kaps",                    //  98
    "lock=lok",                     //  99
    "ctrl=kontrol",                 // 100
    "enter=entr",                   // 101
    "f10=efdeset",                  // 102
    "f11=efjedenáct",               // 103
    "f12=efdvanáct",                // 104
    "f1=efjedna",                   // 105
    "f2=efdva",                     // 106
    "f3=eftři",                     // 107
    "f4=efčtyři",                   // 108
    "f5=efpjet",                    // 109
    "f6=efšest",                    // 110
    "f7=efsedum",                   // 111
    "f8=efosum",                    // 112
    "f9=efdevjet",                  // 113
    "ii=iji",                       // 114
    "ei=aj",                        // 115
    "iá=ijá",                       // 116
    "ie=ije",                       // 117
    "vě=vje",                       // 118
    "bě=bje",                       // 119
    "mě=mně",                       // 120
};
// clang-format on

}  // namespace kv::frontend
