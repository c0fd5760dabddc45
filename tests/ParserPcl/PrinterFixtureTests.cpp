// Jobs made by Ghostscript from three-pages.ps (an A4 page of black text, an
// A4 page of red and blue shapes, a Letter page with a grey image), from
// three-small.ps (black text on A4, a red square on A4, black text on Letter)
// and five-pages.ps (colour on pages 2 and 4), Gutenprint's ESC/P 2 of
// three-small.ps, and hand-made ESC/P 2 and ESC/Page jobs, each with what the
// hook must report for it, parsed in every chunking the harness tries. See
// data/make-fixtures.sh.

#include "PrinterLanguageParser/Parser/ParserRegistry.h"
#include "tests/Parser/ChunkInvariance.h"
#include "tests/Parser/DriverJobTruth.h"
#include "tests/Parser/ParseOutcome.h"
#include "tests/ParserPcl/ParserFeed.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

using namespace RawPrintData;
using namespace ParserTestSupport;

namespace {

// How a fixture is fed.
enum class Feed {
    Whole,              // the file as it is
    PjlWrapped,         // the file as it is, read through its PJL wrapper
    WithoutPjlWrapper,  // only the part after the PJL ENTER LANGUAGE line
};

struct FixtureCase {
    const char* mstrLabel;
    const char* mstrFile;
    Feed mFeed;
    std::vector<ExpectedSet> mvecPageSets;
    unsigned long mintCopies;
    bool mblnDuplex;
    RawColorType mintColorType;
    // Why the parser does not yet bill the job right; the case is skipped.
    const char* mstrKnownFault = nullptr;
};

// The Ghostscript jobs keep the paper of each page, in PCL 5 and PCL XL.
const std::vector<ExpectedSet> PCL5_PAGES = {{"A4", 2100, 2970, 2, 0}, {"Letter", 2159, 2794, 1, 0}};
const std::vector<ExpectedSet> PXL_MONO_PAGES = PCL5_PAGES;
const std::vector<ExpectedSet> PXL_COLOR_PAGES = {{"A4", 2100, 2970, 1, 1}, {"Letter", 2159, 2794, 1, 0}};
// 9-pin ESC/P carries no paper, Gutenprint's ESC/P 2 the queue's A4 for all
// three pages; colour comes from the colour of the data.
const std::vector<ExpectedSet> FIVE_MONO_EPSON_PAGES = {{"", 0, 0, 5, 0}};
const std::vector<ExpectedSet> SMALL_EPSON_PAGES = {{"A4", 2100, 2970, 2, 1}};


const FixtureCase FIXTURES[] = {
    {"ljet4", "ljet4.pcl", Feed::Whole, PCL5_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"ljet4_two_copies", "ljet4-copies2.pcl", Feed::Whole, PCL5_PAGES, 2, false, COLOR_TYPE_UNKNOWN},
    {"ljet4d_duplex", "ljet4d-duplex.pcl", Feed::Whole, PCL5_PAGES, 1, true, COLOR_TYPE_UNKNOWN},
    {"ljet4d_duplex_three_copies", "ljet4d-duplex-copies3.pcl", Feed::Whole, PCL5_PAGES, 3, true, COLOR_TYPE_UNKNOWN},
    {"ljet4pjl_unwrapped", "ljet4pjl.pcl", Feed::WithoutPjlWrapper, PCL5_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"ljet4pjl_two_copies_unwrapped", "ljet4pjl-copies2.pcl", Feed::WithoutPjlWrapper, PCL5_PAGES, 2, false,
     COLOR_TYPE_UNKNOWN},
    {"ljet4pjl", "ljet4pjl.pcl", Feed::PjlWrapped, PCL5_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"ljet4pjl_two_copies", "ljet4pjl-copies2.pcl", Feed::PjlWrapped, PCL5_PAGES, 2, false, COLOR_TYPE_UNKNOWN},

    // PCL XL reports no copies; the grey image on the mono device's page is
    // drawn in the grey colour space and leaves the page mono, while the
    // colour device draws it through an RGB palette.
    {"pxlmono_unwrapped", "pxlmono.pxl", Feed::WithoutPjlWrapper, PXL_MONO_PAGES, 1, false, COLOR_TYPE_MONO},
    {"pxlmono_duplex_unwrapped", "pxlmono-duplex.pxl", Feed::WithoutPjlWrapper, PXL_MONO_PAGES, 1, true, COLOR_TYPE_MONO},
    {"pxlmono_two_copies_unwrapped", "pxlmono-copies2.pxl", Feed::WithoutPjlWrapper, PXL_MONO_PAGES, 1, false,
     COLOR_TYPE_MONO},
    {"pxlcolor_unwrapped", "pxlcolor.pxl", Feed::WithoutPjlWrapper, PXL_COLOR_PAGES, 1, false, COLOR_TYPE_COLOR},
    {"pxlcolor_duplex_two_copies_unwrapped", "pxlcolor-duplex-copies2.pxl", Feed::WithoutPjlWrapper, PXL_COLOR_PAGES, 1,
     true, COLOR_TYPE_COLOR},
    // PJL's RENDERMODE=GRAYSCALE asks for grayscale, which ends as mono.
    {"pxlmono", "pxlmono.pxl", Feed::PjlWrapped, PXL_MONO_PAGES, 1, false, COLOR_TYPE_MONO},
    {"pxlmono_duplex", "pxlmono-duplex.pxl", Feed::PjlWrapped, PXL_MONO_PAGES, 1, true, COLOR_TYPE_MONO},
    {"pxlmono_two_copies", "pxlmono-copies2.pxl", Feed::PjlWrapped, PXL_MONO_PAGES, 1, false, COLOR_TYPE_MONO},
    {"pxlcolor", "pxlcolor.pxl", Feed::PjlWrapped, PXL_COLOR_PAGES, 1, false, COLOR_TYPE_COLOR},
    {"pxlcolor_duplex_two_copies", "pxlcolor-duplex-copies2.pxl", Feed::PjlWrapped, PXL_COLOR_PAGES, 1, true,
     COLOR_TYPE_COLOR},

    // ESC/P reports pages only: three, mono (the first's few dots of magenta
    // and yellow cover far less than the minimal colour area).
    {"escp2_bonjour", "escp2-three-pages.prn", Feed::Whole, {{"", 0, 0, 3, 0}}, 1, false, COLOR_TYPE_UNKNOWN},
    {"escpage", "escpage-two-pages.prn", Feed::Whole, {{"", 0, 0, 2, 0}}, 1, false, COLOR_TYPE_UNKNOWN},

    // DeskJets: the colour ones eject every page with a reset and ESC & l 0 H
    // and no form feed; the older ones repeat the pages for copies.
    {"cdj550", "cdj550.pcl", Feed::Whole, SMALL_COLOUR_PAGES, 1, false, COLOR_TYPE_COLOR},
    {"cdj500", "cdj500.pcl", Feed::Whole, SMALL_COLOUR_PAGES, 1, false, COLOR_TYPE_COLOR},
    {"cdjcolor", "cdjcolor.pcl", Feed::Whole, SMALL_COLOUR_PAGES, 1, false, COLOR_TYPE_COLOR},
    {"deskjet", "deskjet.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"deskjet_two_copies",
     "deskjet-copies2.pcl",
     Feed::Whole,
     {{"A4", 2100, 2970, 4, 0}, {"Letter", 2159, 2794, 2, 0}},
     1,
     false,
     COLOR_TYPE_UNKNOWN},
    {"djet500", "djet500.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_UNKNOWN},

    // Epson drivers: bit images and raster graphics whose data holds form
    // feeds and escapes; the jobs start with ESC @ and no signature.
    {"epson", "epson.prn", Feed::Whole, FIVE_MONO_EPSON_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"eps9high", "eps9high.prn", Feed::Whole, FIVE_MONO_EPSON_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"epsonc", "epsonc.prn", Feed::Whole, FIVE_COLOUR_EPSON_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"stcolor", "stcolor.prn", Feed::Whole, FIVE_COLOUR_ESCP2_A4_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"gutenprint_stylus_color_600", "gutenprint-escp2-600.prn", Feed::Whole, SMALL_EPSON_PAGES, 1, false,
     COLOR_TYPE_UNKNOWN},
    {"gutenprint_stylus_c86", "gutenprint-escp2-c86.prn", Feed::Whole, SMALL_EPSON_PAGES, 1, false,
     COLOR_TYPE_UNKNOWN},
};

// The driver corpus (data/make-driver-corpus.sh): three-small.ps and
// five-pages.ps on A4 printed through every Debian driver of the PCL family,
// and three-small.ps through those of languages the parser does not read,
// each with what its printer prints.
const std::vector<ExpectedSet> SMALL_COLOUR = {{"A4", 2100, 2970, 1, 1}, {"Letter", 2159, 2794, 1, 0}};
// Drivers that ask for the queue's paper for every page.
const std::vector<ExpectedSet> SMALL_COLOUR_A4 = {{"A4", 2100, 2970, 2, 1}};
const std::vector<ExpectedSet> SMALL_MONO_A4 = {{"A4", 2100, 2970, 3, 0}};
// Drivers that name no paper: the printer's own.
const std::vector<ExpectedSet> SMALL_COLOUR_UNSIZED = {{"", 0, 0, 2, 1}};
const std::vector<ExpectedSet> SMALL_MONO_UNSIZED = {{"", 0, 0, 3, 0}};
// hpcups' JetReady laser on an index card (jetready-card.ps): a red square,
// then a grey picture in RGB.
const std::vector<ExpectedSet> JETREADY_CARD = {{"", 762, 1270, 1, 1}};
// Drivers of a language the parser does not read.
const std::vector<ExpectedSet> NO_PAGES = {};
// hpijs ends an odd duplex job with a white page, the last sheet's back
// side, which the printer prints.
const std::vector<ExpectedSet> FIVE_COLOUR_BLANK_BACK = {{"A4", 2100, 2970, 4, 2}};
const std::vector<ExpectedSet> FIVE_MONO_BLANK_BACK = {{"A4", 2100, 2970, 6, 0}};

const FixtureCase DRIVER_CORPUS[] = {
    {"gs_cdeskjet", "drivers/gs-cdeskjet.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_COLOR},
    {"gs_cdj1600", "drivers/gs-cdj1600.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_COLOR},
    {"gs_cdj670", "drivers/gs-cdj670.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_UNKNOWN},
    {"gs_cdj850", "drivers/gs-cdj850.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_UNKNOWN},
    {"gs_cdj850_mono", "drivers/gs-cdj850-mono.pcl", Feed::Whole, THREE_MONO, 1, false, COLOR_TYPE_UNKNOWN},
    {"gs_cdj890", "drivers/gs-cdj890.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_UNKNOWN},
    {"gs_cdjmono", "drivers/gs-cdjmono.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_COLOR},
    {"gs_cdnj500", "drivers/gs-cdnj500.pcl", Feed::Whole, SMALL_COLOUR_UNSIZED, 1, false, COLOR_TYPE_COLOR},
    {"gs_chp2200", "drivers/gs-chp2200.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_UNKNOWN},
    {"gs_cljet5", "drivers/gs-cljet5.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_COLOR},
    {"gs_cljet5c", "drivers/gs-cljet5c.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_COLOR},
    {"gs_declj250", "drivers/gs-declj250.pcl", Feed::Whole, SMALL_COLOUR_UNSIZED, 1, false, COLOR_TYPE_COLOR},
    {"gs_djet500c", "drivers/gs-djet500c.pcl", Feed::Whole, SMALL_COLOUR_A4, 1, false, COLOR_TYPE_COLOR},
    {"gs_dnj650c", "drivers/gs-dnj650c.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_COLOR},
    {"gs_hpdj340", "drivers/gs-hpdj340.pcl", Feed::Whole, FIVE_MONO, 1, false, COLOR_TYPE_COLOR},
    {"gs_hpdj550c", "drivers/gs-hpdj550c.pcl", Feed::Whole, FIVE_MONO, 1, false, COLOR_TYPE_COLOR},
    {"gs_laserjet", "drivers/gs-laserjet.pcl", Feed::Whole, SMALL_MONO_UNSIZED, 1, false, COLOR_TYPE_UNKNOWN},
    {"gs_lj4dith", "drivers/gs-lj4dith.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"gs_lj5gray", "drivers/gs-lj5gray.pxl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_MONO},
    {"gs_lj5mono", "drivers/gs-lj5mono.pxl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_MONO},
    {"gs_ljet2p", "drivers/gs-ljet2p.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"gs_ljet3", "drivers/gs-ljet3.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"gs_paintjet", "drivers/gs-paintjet.pcl", Feed::Whole, SMALL_COLOUR_UNSIZED, 1, false, COLOR_TYPE_COLOR},
    {"gs_pcl3", "drivers/gs-pcl3.pcl", Feed::Whole, FIVE_MONO, 1, false, COLOR_TYPE_COLOR},
    {"gs_pjxl", "drivers/gs-pjxl.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_COLOR},
    {"gs_pjxl300", "drivers/gs-pjxl300.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_COLOR},
    {"gs_pxlcolor", "drivers/gs-pxlcolor.pxl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_COLOR},
    {"gs_pxlmono", "drivers/gs-pxlmono.pxl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_MONO},
    {"hpcups_deskjet5550", "drivers/hpcups-deskjet5550.pcl", Feed::Whole, SMALL_COLOUR_A4, 1, false, COLOR_TYPE_UNKNOWN},
    {"hpcups_deskjet5550_grey", "drivers/hpcups-deskjet5550-grey.pcl", Feed::Whole, FIVE_MONO, 1, false, COLOR_TYPE_UNKNOWN},
    {"hpcups_deskjet6940", "drivers/hpcups-deskjet6940.pcl", Feed::Whole, FIVE_COLOUR, 1, false, COLOR_TYPE_UNKNOWN},
    {"hpcups_officejet8000_duplex", "drivers/hpcups-officejet8000-duplex.pcl", Feed::Whole, FIVE_COLOUR, 1, true,
     COLOR_TYPE_UNKNOWN},
    {"hpcups_laserjet1320", "drivers/hpcups-laserjet1320.pcl", Feed::Whole, SMALL_MONO_A4, 1, false, COLOR_TYPE_UNKNOWN},
    {"hpcups_laserjet1010", "drivers/hpcups-laserjet1010.pxl", Feed::Whole, SMALL_MONO_A4, 1, false, COLOR_TYPE_MONO},
    {"hpcups_colorlaserjet3600", "drivers/hpcups-colorlaserjet3600.pxl", Feed::Whole, JETREADY_CARD, 1, false,
     COLOR_TYPE_COLOR},
    {"hpcups_laserjet1320_duplex", "drivers/hpcups-laserjet1320-duplex.pcl", Feed::Whole, FIVE_MONO, 1, true,
     COLOR_TYPE_UNKNOWN},
    {"hpcups_colorlaserjet1515", "drivers/hpcups-colorlaserjet1515.pcl", Feed::Whole, SMALL_COLOUR_A4, 1, false,
     COLOR_TYPE_COLOR},
    {"rastertohp_deskjet", "drivers/rastertohp-deskjet.pcl", Feed::Whole, FIVE_COLOUR, 1, false, COLOR_TYPE_COLOR},
    {"rastertohp_laserjet_duplex", "drivers/rastertohp-laserjet-duplex.pcl", Feed::Whole, FIVE_MONO, 1, true,
     COLOR_TYPE_UNKNOWN},
    // PJL gives the paper (A4 in decipoints, 209.9 mm wide): the pages carry
    // no name. The PPD prints grey unless colour is asked for.
    {"rastertopclx_designjet750c", "drivers/rastertopclx-designjet750c.pcl", Feed::Whole, {{"", 2099, 2970, 5, 0}}, 1,
     false, COLOR_TYPE_UNKNOWN},
    {"rastertopclx_designjet750c_colour", "drivers/rastertopclx-designjet750c-colour.pcl", Feed::Whole,
     {{"", 2099, 2970, 3, 2}}, 1, false, COLOR_TYPE_COLOR},
    {"gutenprint_deskjet850c", "drivers/gutenprint-deskjet850c.pcl", Feed::Whole, FIVE_COLOUR, 1, false,
     COLOR_TYPE_COLOR},
    {"gutenprint_pcl5e_duplex", "drivers/gutenprint-pcl5e-duplex.pcl", Feed::Whole, FIVE_MONO, 1, true,
     COLOR_TYPE_UNKNOWN},
    {"gutenprint_colorlaser", "drivers/gutenprint-colorlaser.pcl", Feed::Whole, SMALL_COLOUR_A4, 1, false,
     COLOR_TYPE_COLOR},
    {"brlaser_hl5030", "drivers/brlaser-hl5030.pcl", Feed::Whole, FIVE_MONO, 1, false, COLOR_TYPE_UNKNOWN},

    // hpijs through Ghostscript's ijs device: the DeskJets send each paper
    // size as a PJL job of its own, the newer ones with a colour space
    // (ESC * v # W) even in grey; the Photosmart 100 prints on its photo
    // paper, by a code the parser does not know, whatever the queue asks.
    {"hpijs_deskjet990c", "drivers/hpijs-deskjet990c.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_COLOR},
    {"hpijs_deskjet990c_duplex", "drivers/hpijs-deskjet990c-duplex.pcl", Feed::Whole, FIVE_COLOUR_BLANK_BACK, 1, true,
     COLOR_TYPE_COLOR},
    {"hpijs_deskjet5550", "drivers/hpijs-deskjet5550.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_COLOR},
    {"hpijs_deskjet5550_grey", "drivers/hpijs-deskjet5550-grey.pcl", Feed::Whole, FIVE_MONO, 1, false,
     COLOR_TYPE_COLOR},
    {"hpijs_deskjet6940", "drivers/hpijs-deskjet6940.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_COLOR},
    {"hpijs_deskjet630c", "drivers/hpijs-deskjet630c.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_UNKNOWN},
    {"hpijs_deskjet540", "drivers/hpijs-deskjet540.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_COLOR},
    {"hpijs_deskjet350", "drivers/hpijs-deskjet350.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_UNKNOWN},
    {"hpijs_deskjet850c", "drivers/hpijs-deskjet850c.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_UNKNOWN},
    {"hpijs_photosmart100", "drivers/hpijs-photosmart100.pcl", Feed::Whole, SMALL_COLOUR_UNSIZED, 1, false,
     COLOR_TYPE_COLOR},
    {"hpijs_apollo2100", "drivers/hpijs-apollo2100.pcl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_UNKNOWN},
    {"hpijs_officejetk550_duplex", "drivers/hpijs-officejetk550-duplex.pcl", Feed::Whole, FIVE_COLOUR_BLANK_BACK, 1,
     true, COLOR_TYPE_COLOR},
    {"hpijs_laserjet1320", "drivers/hpijs-laserjet1320.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false,
     COLOR_TYPE_UNKNOWN},
    {"hpijs_laserjet1320_duplex", "drivers/hpijs-laserjet1320-duplex.pcl", Feed::Whole, FIVE_MONO_BLANK_BACK, 1, true,
     COLOR_TYPE_UNKNOWN},
    {"hpijs_colorlaserjet4600", "drivers/hpijs-colorlaserjet4600.pcl", Feed::Whole, SMALL_COLOUR, 1, false,
     COLOR_TYPE_COLOR},
    {"hpijs_pcl5e_hl960", "drivers/hpijs-pcl5e-hl960.pcl", Feed::Whole, FIVE_MONO, 1, false, COLOR_TYPE_UNKNOWN},
    {"hpijs_pcl5c_hl2600cn", "drivers/hpijs-pcl5c-hl2600cn.pcl", Feed::Whole, SMALL_COLOUR, 1, false,
     COLOR_TYPE_COLOR},

    // Ghostscript's PCL devices through foomatic-rip. lj4dithp ends its
    // pages with a reset and no form feed, ljetplus names no paper.
    {"foomatic_ljet4", "drivers/foomatic-ljet4.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"foomatic_ljet4d_duplex", "drivers/foomatic-ljet4d-duplex.pcl", Feed::Whole, FIVE_MONO, 1, true,
     COLOR_TYPE_UNKNOWN},
    {"foomatic_ljet3d_duplex", "drivers/foomatic-ljet3d-duplex.pcl", Feed::Whole, FIVE_MONO, 1, true,
     COLOR_TYPE_UNKNOWN},
    {"foomatic_ljetplus", "drivers/foomatic-ljetplus.pcl", Feed::Whole, SMALL_MONO_UNSIZED, 1, false,
     COLOR_TYPE_UNKNOWN},
    {"foomatic_lj4dithp", "drivers/foomatic-lj4dithp.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false,
     COLOR_TYPE_UNKNOWN},
    {"foomatic_lj250", "drivers/foomatic-lj250.pcl", Feed::Whole, SMALL_COLOUR_UNSIZED, 1, false, COLOR_TYPE_COLOR},
    {"foomatic_lp2563", "drivers/foomatic-lp2563.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"foomatic_oce9050", "drivers/foomatic-oce9050.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"foomatic_hl1250", "drivers/foomatic-hl1250.pcl", Feed::Whole, SMALL_PCL_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"foomatic_pxlmono_duplex", "drivers/foomatic-pxlmono-duplex.pxl", Feed::Whole, FIVE_MONO, 1, true,
     COLOR_TYPE_MONO},
    {"foomatic_pxlcolor", "drivers/foomatic-pxlcolor.pxl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_COLOR},
    // PCL XL that PJL enters as DPL.
    {"foomatic_pxldpl", "drivers/foomatic-pxldpl.pxl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_COLOR},
    {"oki_b2200", "drivers/oki-b2200.pcl", Feed::Whole, FIVE_MONO, 1, false, COLOR_TYPE_UNKNOWN},
    // PDF behind PJL; RENDERMODE=AUTOCOLOR lets the printer print colour.
    {"fujixerox_pdf", "drivers/fujixerox-pdf.pjl", Feed::Whole, SMALL_COLOUR, 1, false, COLOR_TYPE_COLOR},

    // Languages the parser does not read, alone or behind PJL: no pages and
    // no failure, so the job prints; PJL's settings still count.
    {"foo2zjs_laserjet1020", "drivers/foo2zjs-laserjet1020.zjs", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"foo2zjs_magicolor2300", "drivers/foo2zjs-magicolor2300.zjs", Feed::Whole, NO_PAGES, 1, false,
     COLOR_TYPE_UNKNOWN},
    {"foo2hp_colorlaserjet2600", "drivers/foo2hp-colorlaserjet2600.zjs", Feed::Whole, NO_PAGES, 1, false,
     COLOR_TYPE_UNKNOWN},
    {"foo2xqx_laserjetp1005", "drivers/foo2xqx-laserjetp1005.xqx", Feed::Whole, NO_PAGES, 1, false,
     COLOR_TYPE_UNKNOWN},
    {"foo2lava_phaser6121", "drivers/foo2lava-phaser6121.lava", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"foo2qpdl_clp300", "drivers/foo2qpdl-clp300.qpdl", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"foo2oak_generic", "drivers/foo2oak-generic.oak", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"foo2hbpl2_dell1355", "drivers/foo2hbpl2-dell1355.hbpl", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_MONO},
    {"foo2hiperc_c5600", "drivers/foo2hiperc-c5600.hiperc", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"foo2slx_c500", "drivers/foo2slx-c500.slx", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"foo2ddst_sp112", "drivers/foo2ddst-sp112.ddst", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"splix_ml2010", "drivers/splix-ml2010.qpdl", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"hpijs_deskjet3320_lidil", "drivers/hpijs-deskjet3320.ldl", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"min12xxw_pagepro1200w", "drivers/min12xxw-pagepro1200w.prn", Feed::Whole, NO_PAGES, 1, false,
     COLOR_TYPE_UNKNOWN},
    {"pnm2ppa_deskjet720c", "drivers/pnm2ppa-deskjet720c.ppa", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"cjet_lbp4u", "drivers/cjet-lbp4u.capsl", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"foomatic_hl7x0", "drivers/foomatic-hl7x0.hbp", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"foomatic_gdi_ml200", "drivers/foomatic-gdi-ml200.gdi", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"foomatic_dj505j", "drivers/foomatic-dj505j.prn", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"m2300w_magicolor2300w", "drivers/m2300w-magicolor2300w.prn", Feed::Whole, NO_PAGES, 1, false,
     COLOR_TYPE_UNKNOWN},
    {"ptouch_ql570", "drivers/ptouch-ql570.prn", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"c2esp_kodak5100", "drivers/c2esp-kodak5100.prn", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
    {"sag_gdi_sp1000s", "drivers/sag-gdi-sp1000s.prn", Feed::Whole, NO_PAGES, 1, false, COLOR_TYPE_UNKNOWN},
};

// Names the case in test listings by its label.
void PrintTo(const FixtureCase& fixture, std::ostream* out)
{
    *out << fixture.mstrLabel;
}

class PrinterFixture : public testing::TestWithParam<FixtureCase> {};

}  // namespace

// Every fixture gives its expected results in every chunking.
TEST_P(PrinterFixture, GivesItsPagesCopiesDuplexAndColour)
{
    const FixtureCase& fixture = GetParam();
    // CVK_CORPUS_ALL=1 checks the known faults too, to count the jobs billed right.
    if (fixture.mstrKnownFault != nullptr && std::getenv("CVK_CORPUS_ALL") == nullptr)
        GTEST_SKIP() << fixture.mstrKnownFault;
    Bytes job = ReadJobFile(std::string(CVK_TEST_DATA_DIR "/") + fixture.mstrFile);
    ASSERT_FALSE(job.empty()) << fixture.mstrFile;
    if (fixture.mFeed == Feed::WithoutPjlWrapper)
        job = WithoutPjlWrapper(job);

    const ParseOutcome outcome = ExpectChunkInvariant(job);
    SCOPED_TRACE(outcome.Describe());
    EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_HANDLED);
    ExpectPageSets(outcome, fixture.mvecPageSets);
    EXPECT_EQ(outcome.mintCopies, fixture.mintCopies);
    EXPECT_EQ(outcome.mblnDuplex, fixture.mblnDuplex);
    EXPECT_EQ(outcome.mintColorType, fixture.mintColorType);
}

const auto LABEL = [](const testing::TestParamInfo<FixtureCase>& info) { return info.param.mstrLabel; };
INSTANTIATE_TEST_SUITE_P(Jobs, PrinterFixture, testing::ValuesIn(FIXTURES), LABEL);
INSTANTIATE_TEST_SUITE_P(DriverCorpus, PrinterFixture, testing::ValuesIn(DRIVER_CORPUS), LABEL);
