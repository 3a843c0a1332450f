// The page in Firefox ESR (puppeteer-core over WebDriver BiDi): the checks
// every engine gets (engines.mjs); Firefox where no sound server answers,
// where its audio never starts; Firefox whose audio context starts only
// after the page went silent, so the music joins in late (Firefox's page
// once deadlocked there, reading the output's timing at every poll); and
// the loading bar from a server that compresses.
import { compressedLoadSuite, engineSuite, silentSuite } from './engines.mjs';

engineSuite('firefox');
silentSuite('firefox');
silentSuite('firefox', {
  label: 'sound late',
  launchOptions: { refused: true },
  whenSoundComes: (tab) => tab.eval('(window.tolvarinAllowSound = true)'),
});
compressedLoadSuite('firefox');
