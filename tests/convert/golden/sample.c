/* QUORVEL Industriesoftware GmbH */
/* Programm PLOT */
/* generiert vom planox */

#include "QuorDef.H"
#include "QuorGraf.H"


void QuorDrawing1()
/*****************/
  {
  H_SetColor(12);
  H_Line(1,2,3,4);
  H_Line(3,4,5,0);
  H_SetColor(14);
  H_Circle(10,10,5);
  H_Arc(20,20,0,360,3);
  H_Arc(20,20,30,120,3);
  H_Solid(0,0,10,0,10,10,0,10);
  H_SetLineStyle(3);
  H_SetTextStyle(0,0,2.5,2);
  H_MoveTo(30,40);
  H_OutTextXY(30,40,"Hello");
  H_SetColor(9);
  H_Line(-1.5,0.25,100,200);
  H_SetTextStyle(0,1,2.5,2);
  H_MoveTo(1,2);
  H_OutTextXY(1,2,"it's");
  H_SetTextStyle(1,0,2.5,2);
  H_MoveTo(3,4);
  H_OutTextXY(3,4,"say \"hi\"");
  }

void main()
  {
  static char ch=0;
  QuorGraf();
  H_Init(0);
  H_InitGraph();
  H_ResetWindow();
  H_DrawQuorGraphTestFrame("QuorGraf");
  H_SetWindow(0,0,0.8,0.9,0,0,100,200,TRUE,TRUE);
  do
    {
    H_ClearViewPort();
    QuorDrawing1();
    H_ZoomKey(&ch);
    } while(!((ch==13) || (ch==27)));
  H_CloseGraph();
  }
